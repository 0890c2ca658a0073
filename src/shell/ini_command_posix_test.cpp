// `valico ini set` in real processes on file systems that refuse the write: a
// full disk, files the writer may not write in place.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include "platform/testing/temp_folder.h"
#include "platform/testing/test_programs.h"

namespace valico {
namespace {

using testing::TestProgram;

// The exit status of a shell command line; -1 when it did not exit by itself.
int Shell(const std::string &command) {
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A write on a full disk leaves the file as it was: on a small tmpfs filled up,
// mounted in a mount namespace of its own so that nothing stays mounted
// whatever happens; where the machine does not allow that, the disk is "full"
// for the writer through its file-size limit instead (16 blocks of 512 bytes:
// the old file fits, the new one with a 6,000-byte value does not).
TEST(IniCommandPosixTest, AWriteOnAFullDiskLeavesTheFileAsItWas) {
  testing::TempFolder dir;
  std::string before = "[Varie]\r\n";
  for (int i = 0; i < 200; ++i) before += "Key" + std::to_string(1000 + i) + "=value\r\n";
  dir.Write("before.ini", before);
  dir.Write("disk/fill", "");
  dir.Write("set.sh",
            "cd '" + dir.path() + "'\n" +
                "if [ $1 = tmpfs ]; then mount -t tmpfs -o size=64k x disk || exit 77; fi\n"
                "cp before.ini disk/_Valico.ini\n"
                "if [ $1 = tmpfs ]; then head -c 1000000 /dev/zero > disk/fill\n"
                "else trap '' XFSZ; ulimit -f 16; fi\n'" +
                TestProgram("valico") + "' ini set \"$PWD/disk/_Valico.ini\" Varie Key1005 " +
                std::string(6000, 'x') +
                "\necho $? > status; cp disk/_Valico.ini after; ls disk > names\n");
  int mounted =
      Shell("/usr/bin/unshare --mount --propagation private /bin/sh " + dir / "set.sh" + " tmpfs");
  if (mounted != 0) {
    std::cout << "[ NOTE     ] no tmpfs could be mounted here (status " << mounted
              << "): the full disk is a file-size limit\n";
    Shell("/bin/sh " + dir / "set.sh" + " limit");
  }
  EXPECT_EQ(dir.Read("status"), "1\n");
  EXPECT_TRUE(dir.Read("after") == before);
  EXPECT_EQ(dir.Read("names"), "_Valico.ini\nfill\n") << "no temporary file left";
}

// As Windows refuses a read-only file even to an administrator, root may not
// replace a file without write permission; a file of another user that root may
// write keeps its owner and mode; a user may not replace a file it could not
// write in place, though the folder lets it.
TEST(IniCommandPosixTest, FilesTheWriterMayNotWriteInPlaceAreNotReplaced) {
  if (geteuid() != 0)
    GTEST_SKIP() << "NOT TESTED: changing owners and writing as another user needs root";
  const passwd *nobody = getpwnam("nobody");
  ASSERT_NE(nobody, nullptr);
  testing::TempFolder dir;
  ::chmod(dir.path().c_str(),
          0777);  // the folder lets anybody create and rename files
  const std::string as_nobody = "/usr/bin/setpriv --reuid=" + std::to_string(nobody->pw_uid) +
                                " --regid=" + std::to_string(nobody->pw_gid) + " --clear-groups ";
  struct Case {
    const char *name;
    uid_t owner;
    mode_t mode;
    bool as_nobody;
    int status;
  } cases[] = {
      {"read-only, root writes", 0, 0444, false, 1},
      {"another user's, root writes", nobody->pw_uid, 0640, false, 0},
      {"root's, another user writes", 0, 0644, true, 1},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir / "f.ini";
    dir.Write("f.ini", "[Varie]\r\nKey=old\r\n");
    ASSERT_EQ(::chown(path.c_str(), c.owner, c.owner ? nobody->pw_gid : 0), 0);
    ASSERT_EQ(::chmod(path.c_str(), c.mode), 0);
    EXPECT_EQ(Shell((c.as_nobody ? as_nobody : "") + TestProgram("valico") + " ini set " + path +
                    " Varie Key new"),
              c.status);
    EXPECT_EQ(dir.Read("f.ini"),
              c.status == 0 ? "[Varie]\r\nKey=new\r\n" : "[Varie]\r\nKey=old\r\n");
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, c.owner);
    EXPECT_EQ(st.st_mode & 07777, c.mode);
    std::filesystem::remove(path);
  }
}

}  // namespace
}  // namespace valico
