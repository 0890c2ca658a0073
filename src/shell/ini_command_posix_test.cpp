// `valico ini set` in real processes on file systems that refuse the write: a full disk, files
// the writer may not write in place.
#include <gtest/gtest.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "platform/testing/temp_folder.h"
#include "platform/testing/test_programs.h"

extern char** environ;

namespace valico {
namespace {

using testing::TestProgram;

pid_t Spawn(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return 0;
  return pid;
}

// The exit status of a finished child; -1 when it did not exit by itself.
int ExitStatus(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

// A write on a full disk leaves the file as it was: on a small tmpfs filled up, mounted in a
// mount namespace of its own so that nothing stays mounted whatever happens; where the machine
// does not allow that, the disk is "full" for the writer through its file-size limit instead.
TEST(IniCommandPosixTest, AWriteOnAFullDiskLeavesTheFileAsItWas) {
  testing::TempFolder dir;
  std::string before = "[Varie]\r\n";
  for (int i = 0; i < 200; ++i) before += "Key" + std::to_string(1000 + i) + "=value\r\n";
  dir.Write("disk/_Valico.ini", before);
  const std::string disk = dir / "disk", valico = Quoted(TestProgram("valico"));
  std::string script =
      "mount -t tmpfs -o size=64k valico-test \"$0\" || exit 77\n"
      "printf '%s' \"$2\" > \"$0/_Valico.ini\"; head -c 1000000 /dev/zero > \"$0/fill\"\n"
      "\"$1\" ini set \"$0/_Valico.ini\" Varie Key1005 changed; echo $? > \"$0.status\"\n"
      "cp \"$0/_Valico.ini\" \"$0.after\"; ls \"$0\" > \"$0.names\"";
  int mounted = ExitStatus(Spawn({"/usr/bin/unshare", "--mount", "--propagation", "private",
                                  "/bin/sh", "-c", script, disk, TestProgram("valico"), before}));
  if (mounted != 0) {
    std::cout << "[ NOTE     ] no tmpfs could be mounted here (status " << mounted
              << "): the full disk is a file-size limit\n";
    // 16 blocks of 512 bytes: the old file fits, the new one with a 6,000-byte value does not.
    dir.Write("disk/fill", "");
    ExitStatus(Spawn({"/bin/sh", "-c",
                      "trap '' XFSZ; ulimit -f 16; " + valico + " ini set " +
                          Quoted(disk + "/_Valico.ini") + " Varie Key1005 " +
                          std::string(6000, 'x') + "; echo $? > " + Quoted(disk + ".status") +
                          "; cp " + Quoted(disk + "/_Valico.ini") + " " + Quoted(disk + ".after") +
                          "; ls " + Quoted(disk) + " > " + Quoted(disk + ".names")}));
  }
  EXPECT_EQ(dir.Read("disk.status"), "1\n");
  EXPECT_TRUE(dir.Read("disk.after") == before);
  EXPECT_EQ(dir.Read("disk.names"), "_Valico.ini\nfill\n") << "no temporary file left";
}

// As Windows refuses a read-only file even to an administrator, root may not replace a file
// without write permission; a file of another user that root may write keeps its owner and
// mode; a user may not replace a file it could not write in place, though the folder lets it.
TEST(IniCommandPosixTest, FilesTheWriterMayNotWriteInPlaceAreNotReplaced) {
  if (geteuid() != 0)
    GTEST_SKIP() << "NOT TESTED: changing owners and writing as another user needs root";
  const passwd* nobody = getpwnam("nobody");
  ASSERT_NE(nobody, nullptr);
  testing::TempFolder dir;
  ::chmod(dir.path().c_str(), 0777);  // the folder lets anybody create and rename files
  const std::string valico = TestProgram("valico");
  auto set = [&](const std::string& name, bool as_nobody) {
    std::vector<std::string> args = {valico, "ini", "set", dir / name, "Varie", "Key", "new"};
    if (as_nobody)
      args.insert(args.begin(), {"/usr/bin/setpriv", "--reuid=" + std::to_string(nobody->pw_uid),
                                 "--regid=" + std::to_string(nobody->pw_gid), "--clear-groups"});
    return ExitStatus(Spawn(args));
  };
  struct Case {
    const char* name;
    uid_t owner;
    mode_t mode;
    bool as_nobody;
    int status;
  } cases[] = {
      {"read-only, root writes", 0, 0444, false, 1},
      {"another user's, root writes", nobody->pw_uid, 0640, false, 0},
      {"root's, another user writes", 0, 0644, true, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir / "f.ini";
    dir.Write("f.ini", "[Varie]\r\nKey=old\r\n");
    ASSERT_EQ(::chown(path.c_str(), c.owner, c.owner ? nobody->pw_gid : 0), 0);
    ASSERT_EQ(::chmod(path.c_str(), c.mode), 0);
    EXPECT_EQ(set("f.ini", c.as_nobody), c.status);
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
