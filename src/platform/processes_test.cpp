#include "platform/processes.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/files.h"
#include "platform/testing/recording_log.h"
#include "platform/testing/temp_folder.h"
#include "platform/testing/test_programs.h"

#ifndef _WIN32
#include <errno.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
extern char** environ;
#endif

namespace valico {
namespace {

using namespace std::chrono_literals;
using testing::Quoted;
using testing::TestProgram;

// A program folder, which is drive C: too, holding a copy of the probe in a folder with a
// blank in its name.
class ProcessesTest : public ::testing::Test {
 protected:
  ProcessesTest() {
    folder.Write("Probe Dir/.keep", "");
    std::filesystem::copy_file(TestProgram("process_probe"), probe);
  }
  std::string Out(const std::string& name) const { return folder / name; }
  // What the probe (or a batch file) wrote, one argument a line, once the process has ended.
  std::string Received(ProcessId pid, const std::string& name) {
    EXPECT_TRUE(processes->Wait(pid, 20s));
    return folder.Read(name);
  }

  testing::TempFolder folder;
  std::string probe = folder / ("Probe Dir/probe" VALICO_EXE_SUFFIX);
  PathMapper mapper{PathMapper::Options{folder.path(), {{'C', folder.path()}}}};
  Files files{mapper};
  testing::RecordingLog log;
  std::unique_ptr<Processes> processes = MakeProcesses(log, files, folder / "fakewine");
};

TEST_F(ProcessesTest, StartsAProgramWithItsWindowsArgumentsAndWaitsForItsEnd) {
  std::string err;
  ProcessId pid =
      processes->Start(Quoted(probe) + " " + Quoted(Out("out.txt")) + R"( 300 a "b c" d\"e "")",
                       WindowState::kMinimizedNoFocus, &err);
  ASSERT_NE(pid, 0) << err;
  EXPECT_FALSE(processes->Wait(pid, 20ms)) << "still sleeping";
  EXPECT_TRUE(processes->Wait(pid, -1ms));
  EXPECT_EQ(folder.Read("out.txt"), "a\nb c\nd\"e\n\n");
  EXPECT_TRUE(processes->Wait(pid, 0ms)) << "an ended process stays ended";
}

TEST_F(ProcessesTest, AFailedStartReturnsZeroWithTheReason) {
  folder.Write("Drv/notes.txt", "not a program");
  auto no_wine = MakeProcesses(log, files, folder / "no-such-wine");
  struct Case {
    Processes* processes;
    std::string line;
    const char* reason;
  };
  std::vector<Case> cases = {
      {processes.get(), "  ", "empty"},
      {processes.get(), Quoted(folder / "missing.exe"), "missing.exe"},
      {processes.get(), Quoted(folder / "Drv/notes.txt"), "notes.txt"},
  };
#ifndef _WIN32
  folder.Write("Drv/driver.exe", "MZ");
  cases.insert(cases.end(), {{processes.get(), R"(C:\Programmi\GlobeDriver)", "No such file"},
                             {processes.get(), R"(C:\Drv\notes.txt)", "Permission denied"},
                             {processes.get(), R"(C:\Valico\missing.bat)", "no such file"},
                             {processes.get(), R"(C:\Valico\missing.exe)", "no such file"},
                             {no_wine.get(), R"(C:\Drv\driver.exe)", "No such file"}});
#endif
  for (const Case& c : cases) {
    std::string err;
    EXPECT_EQ(c.processes->Start(c.line, WindowState::kHidden, &err), 0) << c.line;
    EXPECT_NE(err.find(c.reason), std::string::npos) << c.line << ": " << err;
  }
}

#ifndef _WIN32
TEST_F(ProcessesTest, FindsUnquotedProgramsAndRunsBatchFilesAndExesTheLinuxWay) {
  // A batch file in shell syntax (with Windows line ends, which the shell never sees) and a
  // stand-in for wine, both writing what they received.
  folder.Write("Valico/Job.BAT", "printf '%s\\n' \"$0\" \"$@\" > \"$1\"\r\n");
  folder.Write("fakewine", "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$(dirname \"$0\")/out.txt\"\n");
  ::chmod((folder / "fakewine").c_str(), 0755);
  folder.Write("Drv/driver.exe", "MZ");
  const std::string out = Out("out.txt");
  const std::pair<std::string, std::string> cases[] = {
      // unquoted program with a blank: found prefix by prefix
      {R"(C:\Probe Dir\probe )" + Quoted(out) + " 0 x", "x\n"},
      {R"(C:\Valico\Job.BAT )" + Quoted(out) + " z",
       folder / "Valico/Job.BAT" + "\n" + out + "\nz\n"},
      {R"(C:\Drv\driver.exe /x "y z")", folder / "Drv/driver.exe" + "\n/x\ny z\n"},
  };
  for (const auto& [line, expected] : cases) {
    std::filesystem::remove(out);
    std::string err;
    ProcessId pid = processes->Start(line, WindowState::kMinimizedNoFocus, &err);
    ASSERT_NE(pid, 0) << line << ": " << err;
    EXPECT_EQ(Received(pid, "out.txt"), expected) << line;
  }
}

TEST_F(ProcessesTest, WaitReapsOnlyItsOwnChildren) {
  // A child started behind the service's back: its status must stay for us to collect.
  std::string other_out = Out("other.txt");
  std::vector<char*> argv = {probe.data(), other_out.data(), const_cast<char*>("300"), nullptr};
  pid_t other;
  ASSERT_EQ(posix_spawn(&other, probe.c_str(), nullptr, nullptr, argv.data(), environ), 0);

  // One of ours that is still running when the next one starts and ends.
  std::string err;
  ProcessId busy = processes->Start(Quoted(probe) + " " + Quoted(Out("busy.txt")) + " 20000",
                                    WindowState::kHidden, &err);
  ASSERT_NE(busy, 0) << err;
  ProcessId pid = processes->Start(Quoted(probe) + " " + Quoted(Out("slow.txt")) + " 400 done",
                                   WindowState::kHidden, &err);
  ASSERT_NE(pid, 0) << err;
  EXPECT_TRUE(processes->Wait(pid, 10s)) << "reaped while an earlier child runs on";
  EXPECT_EQ(folder.Read("slow.txt"), "done\n") << "Wait returns once the program has ended";
  EXPECT_FALSE(processes->Wait(busy, 0ms));
  ::kill(static_cast<pid_t>(busy), SIGTERM);
  EXPECT_TRUE(processes->Wait(busy, -1ms));
  EXPECT_EQ(::waitpid(static_cast<pid_t>(pid), nullptr, WNOHANG), -1) << "already reaped";
  EXPECT_EQ(errno, ECHILD);

  int status = -1;
  EXPECT_EQ(::waitpid(other, &status, 0), other);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST_F(ProcessesTest, ChildrenDoNotInheritBlockedStopSignals) {
  // The service loop runs with SIGTERM blocked; a driver started from a tick must still stop
  // on SIGTERM.
  sigset_t term, old;
  sigemptyset(&term);
  sigaddset(&term, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &term, &old);
  std::string err;
  ProcessId pid = processes->Start(Quoted(probe) + " " + Quoted(Out("x")) + " 20000",
                                   WindowState::kHidden, &err);
  pthread_sigmask(SIG_SETMASK, &old, nullptr);
  ASSERT_NE(pid, 0) << err;
  ASSERT_EQ(::kill(static_cast<pid_t>(pid), SIGTERM), 0);
  EXPECT_TRUE(processes->Wait(pid, 10s));
}
#endif

}  // namespace
}  // namespace valico
