#include <gtest/gtest.h>
#include <windows.h>

#include "platform/files.h"
#include "platform/testing/test_platform.h"

namespace valico {
namespace {

// Opens a file the way a writer that has not finished with it does: no delete sharing.
HANDLE HoldOpen(const std::string& native) {
  return ::CreateFileA(native.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// A job that Borea still holds open cannot be moved: that is "not yet", and the file is left
// whole where it was. Once it is closed the move goes through.
TEST(FilesWin32Test, RenameWaitsForTheWriterAndNeverReplaces) {
  testing::TempFolder home;
  PathMapper m({home.path(), {}});
  Files f(m);
  home.Write("CortBorea\\job.txt", "N2:01\r\n");
  home.Write("CortIN\\keep.txt", "old");
  const std::string from = home.path() + "\\CortBorea\\job.txt";
  const std::string to = home.path() + "\\CortIN\\job.txt";
  std::string err;

  HANDLE h = HoldOpen(f.Native(from));
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(f.Rename(from, to, &err));
  EXPECT_NE(err.find("open"), std::string::npos) << err;
  EXPECT_TRUE(home.Has("CortBorea\\job.txt"));
  EXPECT_FALSE(home.Has("CortIN\\job.txt"));
  ::CloseHandle(h);

  EXPECT_FALSE(f.Rename(from, home.path() + "\\CortIN\\keep.txt", &err)) << "no silent replace";
  EXPECT_NE(err.find("exists"), std::string::npos) << err;
  EXPECT_EQ(home.Read("CortIN\\keep.txt"), "old");

  EXPECT_TRUE(f.Rename(from, to, &err)) << err;
  EXPECT_EQ(home.Read("CortIN\\job.txt"), "N2:01\r\n");
}

// Settings files are replaced whole, also while a reader has them open the way the platform's
// profile functions and Borea do (sharing read, write and delete).
TEST(FilesWin32Test, AtomicWritesAndCopiesReplaceExistingFiles) {
  testing::TempFolder home;
  PathMapper m({home.path(), {}});
  Files f(m);
  std::string err;
  home.Write("a.ini", "old");
  home.Write("b.txt", "B");
  EXPECT_TRUE(f.WriteAtomically(home.path() + "\\a.ini", "new", &err)) << err;
  EXPECT_EQ(home.Read("a.ini"), "new");
  EXPECT_TRUE(f.Copy(home.path() + "\\b.txt", home.path() + "\\a.ini", &err)) << err;
  EXPECT_EQ(home.Read("a.ini"), "B");
  EXPECT_TRUE(FlushToDisk(home / "a.ini"));
  EXPECT_FALSE(FlushToDisk(home / "missing.ini"));
}

}  // namespace
}  // namespace valico
