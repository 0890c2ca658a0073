// Dial-up and scheduled jobs with real child processes: Dial.bat runs through /bin/sh and
// reaches a fake "rasdial" on the PATH; the scheduler starts the real restore batch file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
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
    const char* old = std::getenv("PATH");
    old_ = old ? old : "";
    setenv("PATH", (folder + ":" + old_).c_str(), 1);
  }
  ~PathPrefix() { setenv("PATH", old_.c_str(), 1); }

 private:
  std::string old_;
};

TEST(JobsProcessesTest, DialBatchReachesRasdialAndConnessioneWaitsForIt) {
  testing::TestContext t;
  // The fake rasdial records its arguments, each followed by "|", and takes its time, so that
  // a caller that did not wait would find nothing recorded yet.
  t.folder.Write("bin/rasdial",
                 "#!/bin/sh\nsleep 0.3\nprintf '%s|' \"$@\" >> \"$(dirname \"$0\")/calls\"\n"
                 "printf 'exit 3\\n' >> \"$(dirname \"$0\")/calls\"\nexit 3\n");
  ::chmod((t.folder / "bin/rasdial").c_str(), 0755);
  PathPrefix path(t.folder / "bin");
  std::unique_ptr<Processes> real = MakeProcesses(t.log, t.files, "wine");
  Context ctx(
      Services{t.files, t.clock, t.log, t.dialogs, *real, t.serial, t.ftp, RegionalFor("it_IT")},
      t.folder.path());
  ctx.cfg.IniValico = ctx.InProgramFolder("_Valico.ini");
  ctx.ini.SetValicoIni(ctx.cfg.IniValico);
  t.WriteValico("Int_Indirizzo=Ufficio\r\nInd_User=mario\r\nInd_Pw=segreto\r\n");

  EXPECT_TRUE(Connessione(ctx, 1));
  // Dial.bat keeps its Windows line end: the shell hands the last argument over with its CR
  // (contrib/rasdial drops it).
  EXPECT_EQ(t.folder.Read("bin/calls"), "Ufficio|mario|segreto\r|exit 3\n");
  EXPECT_TRUE(Connessione(ctx, 2)) << "the batch ran, whatever rasdial answered";
  EXPECT_EQ(t.folder.Read("bin/calls"), "Ufficio|mario|segreto\r|exit 3\n/disconnect\r|exit 3\n");
}

TEST(JobsProcessesTest, ScheduleStartsTheRestoreBatchFile) {
  testing::TempFolder home;
  home.Write("_Valico.ini", "[Varie]\r\nBorea_Setting=0\r\n");
  home.Write("drive_c/CALDERA/_Schedulatore.ini", "[VARIE]\r\nSAB#0830=2#NOTTE#\r\n");
  home.Write("RestoreBorea.bat", "echo restored > \"" + home / "restore-ran.txt" + "\"\n");
  std::vector<std::string> args = {
      "valico",   "--home", home.path(), "--drive", "C=" + home / "drive_c",
      "--locale", "it_IT",  "schedule",  "--at",    "2026-12-05 08:30"};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(RunCommandLine(static_cast<int>(argv.size()), argv.data()), 0);
  ::testing::internal::GetCapturedStderr();
  // The batch file is started, not waited for: wait for what it leaves behind.
  for (int i = 0; i < 250 && !home.Has("restore-ran.txt"); ++i) std::this_thread::sleep_for(20ms);
  EXPECT_EQ(home.Read("restore-ran.txt"), "restored\n");
}

}  // namespace
}  // namespace valico
