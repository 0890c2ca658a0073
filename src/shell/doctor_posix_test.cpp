// `valico doctor` on a working till (pseudo-terminal ports, a network printer, a private CUPS
// scheduler) and on the same till with the faults an installer meets.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <memory>
#include <sstream>

#include "platform/testing/loopback_port.h"
#include "platform/testing/temp_folder.h"
#include "printing/testing/private_cups_posix.h"
#include "shell/testing/run_valico.h"

namespace valico {
namespace {

// A till whose settings use three serial ports, a network printer, a CUPS queue, a driver run
// by wine, Borea's files, the scheduler and an FTP server.
// The network printer is the scheduler's port, or `printer_port` where nothing listens.
struct Till {
  testing::TempFolder home, cups_dir;
  testing::PrivateCups cups{cups_dir};
  std::unique_ptr<testing::LoopbackPort> ports[3];

  explicit Till(int printer_port = 0) {
    std::string why;
    for (auto& port : ports) port = testing::LoopbackPort::Create(&why);
    home.Write("_Valico.ini",
               "[Varie]\r\nBorea_Setting=-1\r\nBorea_Directory=C:\\Borea\r\n"
               "Display_Active=-1\r\nDisplay_COM=1\r\n"
               "MF_Active=-1\r\nMF_Prot=GLOBE DRIVER - 106\r\nMF_COM=2\r\n"
               "MF_Driver=C:\\drv\\driver.exe\r\n"
               "RF_Active=-1\r\nRF_Stampante=Ricevute\r\nRF_PRINTER_2=Cassa\r\n"
               "Cort_Active=-1\r\nCort_Printer=DPT-282\r\nCort_Com=3\r\n"
               "OP_Attive=-1\r\nFTP_Indirizzo=localhost:2121\r\n");
    home.Write("_Stampanti.ini", "[Ricevute]\nPorta=COM4:\nUscita=escpos:tcp://127.0.0.1:" +
                                     std::to_string(printer_port ? printer_port : cups.port()) +
                                     "\n[Cassa]\nPorta=COM5:\nUscita=cups:Cassa@127.0.0.1:" +
                                     std::to_string(cups.port()) + "\n");
    for (const char* file : {"Borea/_Local.ini", "Borea/_Schedulatore.ini", "drv/driver.exe"})
      home.Write(std::string("drive_c/") + file, "[Varie]\r\n");
  }
  bool ready() const { return cups.ready() && ports[0] && ports[1] && ports[2]; }

  testing::CommandResult Doctor(std::vector<std::string> more = {}) {
    std::vector<std::string> args = {"--home", home.path(), "--wine", "/bin/true"};
    for (int n = 0; n < 3; ++n)
      args.insert(args.end(), {"--com", std::to_string(n + 1) + "=" + ports[n]->device()});
    args.insert(args.end(), more.begin(), more.end());
    args.push_back("doctor");
    return testing::RunValico(args);
  }
};

TEST(DoctorPosixTest, EveryCheckOfAWorkingTillPasses) {
  Till till;
  ASSERT_TRUE(till.ready()) << till.cups_dir.Read("error_log");
  testing::CommandResult r = till.Doctor();
  EXPECT_EQ(r.status, 0) << r.out;
  std::istringstream lines(r.out);
  for (std::string line; std::getline(lines, line) && line.rfind("Esito: ", 0) != 0;)
    EXPECT_EQ(line.rfind("\u2713 ", 0), 0u) << line;
  EXPECT_NE(r.out.find("Esito: tutti i controlli superati\n"), std::string::npos) << r.out;
  for (const char* found : {"(Display_COM) COM1: /dev/pts/", "eseguito da /bin/true",
                            "accepts connections", "exists and accepts jobs"})
    EXPECT_NE(r.out.find(found), std::string::npos) << found << "\n" << r.out;
}

TEST(DoctorPosixTest, FaultsOfTheDevicesAreNamedWithTheirCause) {
  const int gone = testing::FreePort();
  Till till(gone);
  ASSERT_TRUE(till.ready()) << till.cups_dir.Read("error_log");
  // Another program holds the display's port; the CUPS queue rejects jobs; the network
  // printer is gone; the drive of the FTP folder is a file.
  pid_t holder = 0;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, till.ports[0]->device().c_str(), O_RDWR | O_NOCTTY,
                                   0);
  const char* argv[] = {"sleep", "30", nullptr};
  ASSERT_EQ(posix_spawnp(&holder, "sleep", &actions, nullptr, const_cast<char**>(argv), environ),
            0);
  posix_spawn_file_actions_destroy(&actions);
  ASSERT_EQ(std::system(
                ("cupsreject -h 127.0.0.1:" + std::to_string(till.cups.port()) + " Cassa").c_str()),
            0);
  till.home.Write("ftp-drive", "not a folder");
  std::string ini = till.home.Read("_Valico.ini") + "FTP_Directory=D:\\ftp\\\r\n";
  till.home.Write("_Valico.ini", ini);

  testing::CommandResult r = till.Doctor({"--drive", "D=" + till.home / "ftp-drive"});
  ::kill(holder, SIGTERM);
  ::waitpid(holder, nullptr, 0);
  EXPECT_EQ(r.status, 1);
  const struct {
    const char* subject;
    std::string found;
  } rows[] = {
      {"(Display_COM) COM1:", "is held by sleep (pid " + std::to_string(holder) + ")"},
      {"(RF_PRINTER_2):", "does not accept jobs (cupsaccept Cassa)"},
      {"(RF_Stampante):",
       "cannot connect to tcp://127.0.0.1:" + std::to_string(gone) + ": Connection refused"},
      {"Disco D:", "ftp-drive: non e' una cartella"},
  };
  for (const auto& row : rows) {
    std::string line = testing::LineOf(r.out, row.subject);
    EXPECT_EQ(line.rfind("\u2717 ", 0), 0u) << row.subject << "\n" << r.out;
    EXPECT_NE(line.find(row.found), std::string::npos) << line;
  }
}

}  // namespace
}  // namespace valico
