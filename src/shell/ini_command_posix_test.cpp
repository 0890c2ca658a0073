// `valico ini set` in real processes on real file systems: writers in several processes at
// once, a full disk, files the writer may not write in place.
#include <gtest/gtest.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "platform/files.h"
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

int Shell(const std::string& script) { return ExitStatus(Spawn({"/bin/sh", "-c", script})); }

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

// A _Valico.ini of 200 keys.
std::string TwoHundredKeys() {
  std::string ini = "[Varie]\r\n";
  for (int i = 0; i < 200; ++i) ini += "Key" + std::to_string(1000 + i) + "=value\r\n";
  return ini;
}

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// The names in a folder, sorted.
std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Three processes write 400 keys each, one at a time, and a fourth runs the program itself in
// a loop, while this process reads the file again and again: every key arrives, and no read
// finds the file empty, cut short or missing a key it held before.
//
// In memory where the machine has it: every write is forced to the disk, and on a shared disk
// the 1,200 writes, one after the other, take several times as long.
TEST(IniCommandPosixTest, ConcurrentWritersLoseNothingAndReadersNeverSeeHalfAFile) {
  std::error_code ec;
  testing::TempFolder dir(std::filesystem::is_directory("/dev/shm", ec)
                              ? std::filesystem::path("/dev/shm")
                              : std::filesystem::temp_directory_path());
  dir.Write("_Valico.ini", TwoHundredKeys());
  const std::string file = dir / "_Valico.ini";
  const int kWrites = 400, kProgramWrites = 30;
  auto started = std::chrono::steady_clock::now();
  std::vector<pid_t> writers;
  for (const char* prefix : {"A", "B", "C"})
    writers.push_back(Spawn({TestProgram("ini_set_loop"), file, prefix, std::to_string(kWrites)}));
  writers.push_back(Spawn({"/bin/sh", "-c",
                           "for n in $(seq 0 " + std::to_string(kProgramWrites - 1) + "); do " +
                               Quoted(TestProgram("valico")) + " ini set " + Quoted(file) +
                               " Varie D$n $n || exit 1; done"}));
  for (pid_t pid : writers) ASSERT_GT(pid, 0);

  size_t reads = 0, bad = 0, last_keys = 0;
  std::string seen, why;
  auto running = [&] {
    for (pid_t pid : writers) {
      siginfo_t info{};
      if (waitid(P_PID, pid, &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == 0)
        return true;
    }
    return false;
  };
  while (running()) {
    if (ReadNativeFile(file, kNoSizeLimit, &seen, &why) != ReadStatus::kRead) {
      ++bad;
      continue;
    }
    ++reads;
    size_t keys = Count(seen, "\r\n");
    if (seen.rfind("[Varie]\r\n", 0) != 0 || seen.size() < 2 ||
        seen.substr(seen.size() - 2) != "\r\n" || Count(seen, "\r\nKey1") != 200 ||
        keys < last_keys)
      ++bad;
    last_keys = keys;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  for (pid_t pid : writers) EXPECT_EQ(ExitStatus(pid), 0) << "every write succeeded";
  auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - started);

  EXPECT_EQ(bad, 0u) << "of " << reads << " reads";
  std::string final = dir.Read("_Valico.ini");
  EXPECT_EQ(Count(final, "\r\nKey1"), 200u);
  for (const char* prefix : {"A", "B", "C"}) {
    for (int n = 0; n < kWrites; ++n) {
      std::string entry =
          "\r\n" + std::string(prefix) + std::to_string(n) + "=" + std::to_string(n) + "\r\n";
      ASSERT_NE(final.find(entry), std::string::npos) << "lost: " << entry;
    }
  }
  EXPECT_EQ(Count(final, "\r\nD"), static_cast<size_t>(kProgramWrites));
  EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"_Valico.ini"});
  std::cout << "[ figures  ] " << 3 * kWrites + kProgramWrites << " writes in " << took.count()
            << " ms beside " << reads << " reads\n";
}

// A write on a full disk leaves the file as it was: on a small tmpfs filled up, mounted in a
// mount namespace of its own so that nothing stays mounted whatever happens; where the machine
// does not allow that, the disk is "full" for the writer through its file-size limit instead.
TEST(IniCommandPosixTest, AWriteOnAFullDiskLeavesTheFileAsItWas) {
  testing::TempFolder dir;
  const std::string before = TwoHundredKeys();
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
    Shell("trap '' XFSZ; ulimit -f 16; " + valico + " ini set " + Quoted(disk + "/_Valico.ini") +
          " Varie Key1005 " + std::string(6000, 'x') + "; echo $? > " + Quoted(disk + ".status") +
          "; cp " + Quoted(disk + "/_Valico.ini") + " " + Quoted(disk + ".after") + "; ls " +
          Quoted(disk) + " > " + Quoted(disk + ".names"));
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
