// Dial-up and scheduled jobs with real child processes on Windows (or Wine): Dial.bat runs
// through the command interpreter and reaches a fake "rasdial" on the PATH; the scheduler
// starts the real restore batch file.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <thread>

#include "jobs/dialup.h"
#include "platform/testing/test_context.h"
#include "shell/command_line.h"

namespace valico {
namespace {

using namespace std::chrono_literals;

// Puts a folder first on the PATH for the life of the object.
class PathPrefix {
 public:
  explicit PathPrefix(const std::string& folder) {
    char buf[32768];
    DWORD n = ::GetEnvironmentVariableA("PATH", buf, sizeof buf);
    old_.assign(buf, n < sizeof buf ? n : 0);
    ::SetEnvironmentVariableA("PATH", (folder + ";" + old_).c_str());
  }
  ~PathPrefix() { ::SetEnvironmentVariableA("PATH", old_.c_str()); }

 private:
  std::string old_;
};

TEST(JobsProcessesTest, DialBatchReachesRasdialAndConnessioneWaitsForIt) {
  testing::TestContext t;
  std::string calls = t.folder / "bin\\calls.txt";
  t.folder.Write("bin/rasdial.cmd", "@echo off\r\necho %*>> \"" + calls + "\"\r\nexit /b 3\r\n");
  PathPrefix path(t.folder / "bin");
  std::unique_ptr<Processes> real = MakeProcesses(t.log, t.files, "wine");
  Context ctx(
      Services{t.files, t.clock, t.log, t.dialogs, *real, t.serial, t.ftp, RegionalFor("it_IT")},
      t.folder.path());
  ctx.cfg.IniValico = ctx.InProgramFolder("_Valico.ini");
  ctx.ini.SetValicoIni(ctx.cfg.IniValico);
  t.WriteValico("Int_Indirizzo=Ufficio\r\nInd_User=mario\r\nInd_Pw=segreto\r\n");

  EXPECT_TRUE(Connessione(ctx, 1));
  EXPECT_EQ(t.folder.Read("bin/calls.txt"), "Ufficio mario segreto\r\n")
      << "written before Connessione returned: it waited";
  EXPECT_TRUE(Connessione(ctx, 2));
  EXPECT_EQ(t.folder.Read("bin/calls.txt"), "Ufficio mario segreto\r\n/disconnect\r\n");
}

TEST(JobsProcessesTest, ScheduleStartsTheRestoreBatchFile) {
  testing::TempFolder home;
  home.Write("_Valico.ini", "[Varie]\r\nBorea_Setting=0\r\n");
  home.Write("drive_c/CALDERA/_Schedulatore.ini", "[VARIE]\r\nSAB#0830=2#NOTTE#\r\n");
  home.Write("RestoreBorea.bat",
             "@echo off\r\necho restored> \"" + home / "restore-ran.txt" + "\"\r\n");
  std::vector<std::string> args = {
      "valico",   "--home", home.path(), "--drive", "C=" + home / "drive_c",
      "--locale", "it_IT",  "schedule",  "--at",    "2026-12-05 08:30"};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(RunCommandLine(static_cast<int>(argv.size()), argv.data()), 0);
  ::testing::internal::GetCapturedStderr();
  // The batch file is started, not waited for: wait for what it leaves behind.
  for (int i = 0; i < 500 && home.Read("restore-ran.txt").empty(); ++i)
    std::this_thread::sleep_for(20ms);
  EXPECT_EQ(home.Read("restore-ran.txt"), "restored\r\n");
}

}  // namespace
}  // namespace valico
