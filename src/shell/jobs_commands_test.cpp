// The "schedule" and "ftp" commands, run in-process on a home folder of their own.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "platform/testing/ftp_test_server.h"
#include "platform/testing/temp_folder.h"
#include "platform/testing/wait_for.h"
#include "shell/command_line.h"

namespace valico {
namespace {

int RunValico(std::vector<std::string> args) {
  args.insert(args.begin(), "valico");
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  int status = RunCommandLine(static_cast<int>(argv.size()), argv.data());
  ::testing::internal::GetCapturedStderr();
  ::testing::internal::GetCapturedStdout();
  return status;
}

// The restore batch file really runs (through /bin/sh, or the command interpreter on Windows).
TEST(JobsCommandsTest, ScheduleRunsOneMinuteAsAskedAndLeavesTheSpoolsAlone) {
  testing::TempFolder home;
  home.Write("_Valico.ini", "[Varie]\r\nBorea_Setting=0\r\nPostazione=CLIENT\r\n");
  home.Write("drive_c/CALDERA/_Schedulatore.ini", "[VARIE]\r\nSAB#0830=2#notte#\r\n");
  home.Write("RestoreBorea.bat", "echo restored>> \"" + home / "restore-ran.txt" + "\"\n");
  // The batch file is started, not waited for: wait for the n-th line it appends.
  auto restores = [&](size_t n) {
    return testing::WaitFor(
        [&] {
          return home.Read("restore-ran.txt").find("restored", 9 * (n - 1)) != std::string::npos;
        },
        std::chrono::seconds(10));
  };
  home.Write("CortBorea/job.txt", "a pre-bill the service has not taken yet");
  std::vector<std::string> common = {"--home",   home.path(), "--drive", "C=" + home / "drive_c",
                                     "--locale", "it_IT"};
  auto with = [&](std::vector<std::string> more) {
    std::vector<std::string> all = common;
    all.insert(all.end(), more.begin(), more.end());
    return all;
  };

  EXPECT_EQ(RunValico(with({"schedule", "--at", "2026-12-05 08:30", "--postazione", "SERVER"})), 0);
  std::string local = home.Read("drive_c/CALDERA/_Local.ini");
  EXPECT_EQ(local,
            "[VARIE]\r\nVALICO_SO_ACTIVE=-1\r\nVALICO_SO_OPE=2\r\nVALICO_SO_TAG=NOTTE\r\n"
            "RESTORE_ACTIVE=-1\r\nVALICO_RBOREA_ACTIVE=1\r\n");
  EXPECT_NE(home.Read("_Valico.ini").find("OP_LAST=05122026#SAB#0830\r\n"), std::string::npos);
  EXPECT_TRUE(home.Has("CortBorea/job.txt")) << "a one-shot command does not empty the spools";
  EXPECT_TRUE(restores(1));

  // Without --postazione the stored role counts; the same minute a week later runs again.
  EXPECT_EQ(RunValico(with({"schedule", "--at", "2026-12-12 08:30"})), 0);
  EXPECT_NE(home.Read("drive_c/CALDERA/_Local.ini").find("VALICO_RBOREA_ACTIVE=2\r\n"),
            std::string::npos);
  EXPECT_NE(home.Read("_Valico.ini").find("OP_LAST=12122026#SAB#0830\r\n"), std::string::npos);
  EXPECT_TRUE(restores(2)) << home.Read("restore-ran.txt");

  for (const char* bad : {"2026-02-30 08:30", "2026-12-05", "05/12/2026 08:30", "2026-12-05 24:00"})
    EXPECT_EQ(RunValico(with({"schedule", "--at", bad})), 2) << bad;
  EXPECT_NE(RunValico(with({"schedule", "--postazione", "server"})), 0);
}

TEST(JobsCommandsTest, FtpCarriesOutTheRequestAndSaysHowItWent) {
  testing::FtpTestServer server;
  if (!server.problem().empty()) GTEST_SKIP() << server.problem();
  testing::TempFolder home;
  const std::string name =
      std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".txt";
  home.Write("drive_c/out/" + name, "x");
  home.Write("_Valico.ini", "[Varie]\r\nBorea_Setting=0\r\nFTP_Indirizzo=" + server.server() +
                                "\r\nFTP_User=valico\r\nFTP_Pw=segreto\r\nFTP_Azione=1\r\n"
                                "FTP_Directory=C:\\out\\\r\nFTP_NomeFile=" +
                                name + "\r\n");
  const std::string drive = "C=" + home / "drive_c";
  EXPECT_EQ(RunValico({"--home", home.path(), "--drive", drive, "ftp"}), 0);
  EXPECT_TRUE(std::filesystem::exists(server.InRoot(name)));
  EXPECT_NE(home.Read("_Valico.ini").find("FTP_Esito=-1\r\n"), std::string::npos);
  EXPECT_EQ(RunValico({"--home", home.path(), "--drive", drive, "ftp"}), 1)
      << "no request left: a failure";
  EXPECT_NE(home.Read("_Valico.ini").find("FTP_Esito=0\r\n"), std::string::npos);
  EXPECT_EQ(home.Read("Valico.log").find("segreto"), std::string::npos) << "no password logged";
}

}  // namespace
}  // namespace valico
