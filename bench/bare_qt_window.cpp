// The floor the desktop program's idle cost is measured against: a Qt 6 Widgets program with
// one empty window shown, doing nothing else.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.resize(200, 100);
  window.show();
  return QApplication::exec();
}
