#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

// Qt wants one application object for the whole program: the widgets' tests share it, and run
// without a display server unless one is asked for.
int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
