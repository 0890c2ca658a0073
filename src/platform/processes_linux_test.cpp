#include <errno.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <filesystem>

#include "platform/files.h"
#include "platform/processes.h"
#include "platform/testing/recording_log.h"
#include "platform/testing/temp_folder.h"
#include "platform/testing/test_programs.h"

extern char** environ;

namespace valico {
namespace {

using namespace std::chrono_literals;
using testing::TestProgram;

using testing::Quoted;

// A program folder whose drive C: holds copies of the probe under names with blanks.
struct ProcessTest {
  ProcessTest() {
    folder.Write("drive_c/Programmi/Probe Dir/.keep", "");
    std::filesystem::copy_file(TestProgram("process_probe"),
                               folder / "drive_c/Programmi/Probe Dir/probe");
  }
  std::string Out(const std::string& name) const { return folder / name; }
  // What the probe (or a batch file) wrote, one argument a line, once the process has ended.
  std::string Received(ProcessId pid, const std::string& out) {
    EXPECT_TRUE(processes->Wait(pid, 20s));
    return folder.Read(std::filesystem::path(out).filename().string());
  }

  testing::TempFolder folder;
  PathMapper mapper{PathMapper::Options{folder.path(), {}}};
  Files files{mapper};
  testing::RecordingLog log;
  std::unique_ptr<Processes> processes = MakeProcesses(log, files, folder / "fakewine");
};

TEST(ProcessesPosixTest, StartsProgramsBatchFilesAndExesWithTheirWindowsArguments) {
  ProcessTest t;
  // A batch file in shell syntax (with Windows line ends, which the shell never sees) and a
  // stand-in for wine, both writing what they received.
  t.folder.Write("drive_c/Valico/Job.BAT", "printf '%s\\n' \"$0\" \"$@\" > \"$1\"\r\n");
  t.folder.Write("fakewine", "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$(dirname \"$0\")/out.txt\"\n");
  ::chmod((t.folder / "fakewine").c_str(), 0755);
  t.folder.Write("drive_c/Drv/driver.exe", "MZ");
  struct Case {
    const char* name;
    std::string line;
    std::string expected;  // what is written to out.txt
  };
  const std::string out = t.Out("out.txt");
  const Case cases[] = {
      {"quoted program with a blank, arguments by the Windows rules",
       R"("C:\Programmi\Probe Dir\probe" )" + Quoted(out) + R"( 0 a "b c" d\"e "")",
       "a\nb c\nd\"e\n\n"},
      {"unquoted program with a blank is found prefix by prefix",
       R"(C:\Programmi\Probe Dir\probe )" + Quoted(out) + " 0 x", "x\n"},
      {"batch file runs through the shell", R"(C:\Valico\Job.BAT )" + Quoted(out) + " z",
       t.folder / "drive_c/Valico/Job.BAT" + "\n" + out + "\nz\n"},
      {"exe runs through wine", R"(C:\Drv\driver.exe /x "y z")",
       t.folder / "drive_c/Drv/driver.exe" + "\n/x\ny z\n"},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(out);
    std::string err;
    ProcessId pid = t.processes->Start(c.line, WindowState::kMinimizedNoFocus, &err);
    ASSERT_NE(pid, 0) << c.name << ": " << err;
    EXPECT_EQ(t.Received(pid, out), c.expected) << c.name;
  }
}

TEST(ProcessesPosixTest, AFailedStartReturnsZeroWithTheReason) {
  ProcessTest t;
  t.folder.Write("drive_c/Drv/notes.txt", "not a program");
  t.folder.Write("drive_c/Drv/driver.exe", "MZ");
  auto no_wine = MakeProcesses(t.log, t.files, t.folder / "no-such-wine");
  struct Case {
    const char* name;
    Processes& processes;
    std::string line;
    const char* reason;
  };
  const Case cases[] = {
      {"empty command line", *t.processes, "  ", "empty"},
      {"no such program", *t.processes, R"(C:\Programmi\GlobeDriver\GlobeDriver)", "No such file"},
      {"not executable", *t.processes, R"(C:\Drv\notes.txt)", "Permission denied"},
      {"no such batch file", *t.processes, R"(C:\Valico\missing.bat)", "no such file"},
      {"no such exe", *t.processes, R"(C:\Valico\missing.exe)", "no such file"},
      {"no wine", *no_wine, R"(C:\Drv\driver.exe)", "No such file"},
  };
  for (const Case& c : cases) {
    std::string err;
    EXPECT_EQ(c.processes.Start(c.line, WindowState::kHidden, &err), 0) << c.name;
    EXPECT_NE(err.find(c.reason), std::string::npos) << c.name << ": " << err;
  }
}

TEST(ProcessesPosixTest, WaitsWithATimeoutAndReapsOnlyItsOwnChildren) {
  ProcessTest t;
  std::string probe = TestProgram("process_probe");
  // A child started behind the service's back: its status must stay for us to collect.
  std::string other_out = t.Out("other.txt");
  std::vector<char*> argv = {probe.data(), other_out.data(), const_cast<char*>("300"), nullptr};
  pid_t other;
  ASSERT_EQ(posix_spawn(&other, probe.c_str(), nullptr, nullptr, argv.data(), environ), 0);

  // One of ours that is still running when the next one starts and ends.
  std::string err;
  ProcessId busy = t.processes->Start(Quoted(probe) + " " + Quoted(t.Out("busy.txt")) + " 20000",
                                      WindowState::kHidden, &err);
  ASSERT_NE(busy, 0) << err;
  std::string out = t.Out("slow.txt");
  ProcessId pid = t.processes->Start(Quoted(probe) + " " + Quoted(out) + " 400 done",
                                     WindowState::kHidden, &err);
  ASSERT_NE(pid, 0) << err;
  EXPECT_FALSE(t.processes->Wait(pid, 20ms)) << "still sleeping";
  EXPECT_TRUE(t.processes->Wait(pid, 10s)) << "reaped while an earlier child runs on";
  EXPECT_EQ(t.folder.Read("slow.txt"), "done\n") << "Wait returns once the program has ended";
  EXPECT_FALSE(t.processes->Wait(busy, 0ms));
  ::kill(static_cast<pid_t>(busy), SIGTERM);
  EXPECT_TRUE(t.processes->Wait(busy, -1ms));
  EXPECT_TRUE(t.processes->Wait(pid, 0ms)) << "an ended process stays ended";
  EXPECT_EQ(::waitpid(static_cast<pid_t>(pid), nullptr, WNOHANG), -1) << "already reaped";
  EXPECT_EQ(errno, ECHILD);

  int status = -1;
  EXPECT_EQ(::waitpid(other, &status, 0), other);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(ProcessesPosixTest, ChildrenDoNotInheritBlockedStopSignals) {
  ProcessTest t;
  // The service loop runs with SIGTERM blocked; a driver started from a tick must still stop
  // on SIGTERM.
  sigset_t term, old;
  sigemptyset(&term);
  sigaddset(&term, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &term, &old);
  std::string err;
  ProcessId pid =
      t.processes->Start(Quoted(TestProgram("process_probe")) + " " + Quoted(t.Out("x")) + " 20000",
                         WindowState::kHidden, &err);
  pthread_sigmask(SIG_SETMASK, &old, nullptr);
  ASSERT_NE(pid, 0) << err;
  ASSERT_EQ(::kill(static_cast<pid_t>(pid), SIGTERM), 0);
  EXPECT_TRUE(t.processes->Wait(pid, 10s));
}

}  // namespace
}  // namespace valico
