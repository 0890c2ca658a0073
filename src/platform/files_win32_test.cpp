#include <gtest/gtest.h>
#include <windows.h>

#include <thread>

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

// Settings files are replaced whole and keep their attributes; a reader that has the file
// open (the way the platform's profile functions and Borea do) is waited for; a read-only file
// is refused, also to an administrator.
TEST(FilesWin32Test, AtomicWritesReplaceFilesAndKeepTheirAttributes) {
  testing::TempFolder home;
  PathMapper m({home.path(), {}});
  Files f(m);
  std::string err;
  home.Write("a.ini", "old");
  home.Write("b.txt", "B");
  const std::string a = home / "a.ini";
  HANDLE reader =
      ::CreateFileA(a.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(::SetFileAttributesA(a.c_str(), FILE_ATTRIBUTE_HIDDEN));
  std::thread done_reading([reader] {
    ::Sleep(200);
    ::CloseHandle(reader);
  });
  EXPECT_TRUE(f.WriteAtomically(a, "new", &err)) << err;
  done_reading.join();
  EXPECT_EQ(home.Read("a.ini"), "new");
  EXPECT_TRUE(::GetFileAttributesA(a.c_str()) & FILE_ATTRIBUTE_HIDDEN);

  ASSERT_TRUE(::SetFileAttributesA(a.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(f.WriteAtomically(a, "refused", &err));
  EXPECT_NE(err.find("read-only"), std::string::npos) << err;
  EXPECT_EQ(home.Read("a.ini"), "new");
  ::SetFileAttributesA(a.c_str(), FILE_ATTRIBUTE_NORMAL);

  EXPECT_TRUE(f.Copy(home.path() + "\\b.txt", a, &err)) << err;
  EXPECT_EQ(home.Read("a.ini"), "B");
}

}  // namespace
}  // namespace valico
