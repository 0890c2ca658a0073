#include "shell/command_line.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <vector>

#include "platform/program_folder_lock.h"
#include "platform/testing/ftp_test_server.h"
#include "platform/testing/loopback_port.h"
#include "platform/testing/temp_folder.h"
#include "platform/testing/wait_for.h"
#include "shell/testing/run_valico.h"

namespace valico {
namespace {

using testing::CommandResult;
using testing::RunValico;

TEST(CommandLineTest, IniCommandsReadAndWriteAsTheStoreDoesAndVersionIsOneLine) {
  testing::TempFolder dir;
  std::string f = dir / "a.ini";
  EXPECT_EQ(RunValico({"ini", "set", f, "Varie", "Ritardo", "12,5"}).status, 0);
  EXPECT_EQ(dir.Read("a.ini"), "[Varie]\r\nRitardo=12,5\r\n");
  EXPECT_EQ(RunValico({"ini", "get", f, "VARIE", "ritardo"}).out, "12,5\n");
  EXPECT_EQ(RunValico({"ini", "get", f, "Varie", "missing", "def"}).out, "def\n");
  EXPECT_EQ(RunValico({"--locale", "it_IT", "ini", "typed", f, "Ritardo"}).out, "number 12.5\n");
  EXPECT_EQ(RunValico({"ini", "typed", f, "missing"}).out, "text \n");
  EXPECT_EQ(RunValico({"ini", "set", dir / "missing/dir/b.ini", "S", "k", "v"}).status, 1);
  EXPECT_NE(RunValico({"--drive", "CC=/x", "ini", "get", f, "S", "k"}).status, 0);
  // Italian shops keep settings in folders such as "C:\Caffè": the path keeps its bytes.
  const std::string accented = dir / "Caff\xe8.ini";
  EXPECT_EQ(RunValico({"ini", "set", accented, "Varie", "Citt\xe0", "Forl\xec"}).status, 0);
  EXPECT_EQ(RunValico({"ini", "get", accented, "VARIE", "CITT\xc0"}).out, "Forl\xec\n");
  EXPECT_EQ(RunValico({"--version"}).out, "valico " VALICO_VERSION "\n");
}

// Two copies on one folder would hand every job twice: run leaves a folder that another copy
// serves alone, and serves it once that copy has gone. A folder where _Valico.ini should be
// stops nothing: the service runs, saying why in its log.
TEST(CommandLineTest, RunServesAFolderNoOtherCopyServes) {
  testing::ValicoHome home;
  auto other = std::make_unique<ProgramFolderLock>(home.path());
  EXPECT_EQ(home.Run({"run", "--ticks", "1"}).status, 1);
  EXPECT_FALSE(home.Has("_Valico.ini")) << "the folder is left alone";
  other.reset();
  EXPECT_EQ(home.Run({"run", "--ticks", "1"}).status, 0);
  EXPECT_TRUE(home.Has("_Valico.ini"));
  std::filesystem::remove(home / "_Valico.ini");
  std::filesystem::create_directory(home / "_Valico.ini");
  EXPECT_EQ(home.Run({"run", "--ticks", "2"}).status, 0);
  EXPECT_NE(home.Read("Valico.log").find("a folder"), std::string::npos);
}

// The test print at the far end of a real serial line, with the settings _Valico.ini gives.
TEST(CommandLineTest, PrebillTestPrintsWithTheLoadedSettings) {
  std::string why;
  auto far = testing::LoopbackPort::Create(&why);
  if (!far) GTEST_SKIP() << "no serial line to test with: " << why;
  testing::ValicoHome home;
  home.Write("_Valico.ini",
             "[Varie]\r\nCort_Printer=DPT-282\r\nCort_COM=5\r\nCort_Sett=4800,E,7,1\r\n");
  home.Write("CortBorea/pending.txt", "N2:01:x\r\n");
  EXPECT_EQ(home.Run({"--com", "5=" + far->device(), "prebill-test"}).status, 0);
  std::string expected = "ambaraBA CICI COCO TRE CIVETTE \r\n \r\n \r\n \r\n \r\n\x1bm";
  EXPECT_EQ(far->Read(expected.size()), expected);
  EXPECT_TRUE(home.Has("CortBorea/pending.txt")) << "a running service's spool is left alone";
  EXPECT_EQ(home.Run({"--com", "5=" + home / "no-such-port", "prebill-test"}).status, 1);
}

// The restore batch file really runs (through /bin/sh, or the command interpreter on Windows).
TEST(CommandLineTest, ScheduleRunsOneMinuteAsAskedAndLeavesTheSpoolsAlone) {
  testing::ValicoHome home;
  home.Write("_Valico.ini", "[Varie]\r\nBorea_Setting=0\r\nPostazione=CLIENT\r\n");
  home.Write("drive_c/CALDERA/_Schedulatore.ini", "[VARIE]\r\nSAB#0830=2#notte#\r\n");
  home.Write("RestoreBorea.bat", "echo restored>> \"" + home / "restore-ran.txt" + "\"\n");
  home.Write("CortBorea/job.txt", "a pre-bill the service has not taken yet");
  // The batch file is started, not waited for: wait for the n-th line it appends.
  auto restores = [&](size_t n) {
    return testing::WaitFor(
        [&] { return home.Read("restore-ran.txt").size() >= n * std::string("restored\n").size(); },
        std::chrono::seconds(10));
  };
  auto schedule = [&](std::vector<std::string> args) {
    args.insert(args.begin(),
                {"--drive", "C=" + home / "drive_c", "--locale", "it_IT", "schedule"});
    return home.Run(args).status;
  };

  EXPECT_EQ(schedule({"--at", "2026-12-05 08:30", "--postazione", "SERVER"}), 0);
  EXPECT_EQ(home.Read("drive_c/CALDERA/_Local.ini"),
            "[VARIE]\r\nVALICO_SO_ACTIVE=-1\r\nVALICO_SO_OPE=2\r\nVALICO_SO_TAG=NOTTE\r\n"
            "RESTORE_ACTIVE=-1\r\nVALICO_RBOREA_ACTIVE=1\r\n");
  EXPECT_TRUE(home.Has("CortBorea/job.txt")) << "a one-shot command does not empty the spools";
  EXPECT_TRUE(restores(1));

  // Without --postazione the stored role counts; the same minute a week later runs again.
  EXPECT_EQ(schedule({"--at", "2026-12-12 08:30"}), 0);
  EXPECT_NE(home.Read("drive_c/CALDERA/_Local.ini").find("VALICO_RBOREA_ACTIVE=2\r\n"),
            std::string::npos);
  EXPECT_TRUE(restores(2));

  for (const char* bad : {"2026-02-30 08:30", "2026-12-05", "05/12/2026 08:30", "2026-12-05 24:00"})
    EXPECT_EQ(schedule({"--at", bad}), 2) << bad;
  EXPECT_NE(schedule({"--postazione", "server"}), 0);
}

TEST(CommandLineTest, FtpCarriesOutTheRequestAndSaysHowItWent) {
  testing::FtpTestServer server;
  if (!server.problem().empty()) GTEST_SKIP() << server.problem();
  testing::ValicoHome home;
  const std::string name = "CommandLineFtp.txt";  // a name of its own on the shared server
  home.Write("drive_c/out/" + name, "x");
  home.Write("_Valico.ini", "[Varie]\r\nBorea_Setting=0\r\nFTP_Indirizzo=" + server.server() +
                                "\r\nFTP_User=valico\r\nFTP_Pw=segreto\r\nFTP_Azione=1\r\n"
                                "FTP_Directory=C:\\out\\\r\nFTP_NomeFile=" +
                                name + "\r\n");
  CommandResult r = home.Run({"--drive", "C=" + home / "drive_c", "ftp"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "FTP_Esito=-1\n");
  EXPECT_TRUE(std::filesystem::exists(server.InRoot(name)));
  r = home.Run({"--drive", "C=" + home / "drive_c", "ftp"});
  EXPECT_EQ(r.status, 1) << "no request left: a failure";
  EXPECT_EQ(r.out, "FTP_Esito=0\n");
}

}  // namespace
}  // namespace valico
