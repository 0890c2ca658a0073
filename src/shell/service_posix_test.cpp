// The real program in real time: `valico run` takes jobs and requests written while it runs,
// and stops cleanly on SIGTERM. (What the spool flags hold back is the polling cycle's test.)
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "platform/testing/ftp_test_server.h"
#include "platform/testing/loopback_port.h"
#include "platform/testing/temp_folder.h"
#include "platform/testing/test_programs.h"
#include "platform/testing/wait_for.h"

extern char** environ;

namespace valico {
namespace {

using namespace std::chrono_literals;
using testing::WaitFor;

class ServiceTest : public ::testing::Test {
 protected:
  // Starts `valico --home HOME [options] run` and waits for the end of the start-up, which
  // discards the jobs in the spools and writes _Valico.ini last with RunTimeBorea: a job or a
  // request written before that could be lost to it.
  void Start(std::vector<std::string> options) {
    std::vector<std::string> args = {testing::TestProgram("valico"), "--home", home.path()};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back("run");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    ASSERT_EQ(posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ), 0);
    ASSERT_TRUE(WaitFor(
        [&] { return home.Read("_Valico.ini").find("RunTimeBorea=") != std::string::npos; }, 5s));
  }
  // SIGTERM; true when the program ended with status 0 within `limit`.
  bool Stop(std::chrono::milliseconds limit) {
    if (pid <= 0) return false;
    kill(pid, SIGTERM);
    int status = 0;
    bool ended = WaitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }, limit);
    if (!ended) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
    }
    pid = 0;
    return ended && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
  void TearDown() override {
    if (pid > 0) Stop(1s);
  }
  // True when the running program has a library of that name mapped.
  bool Maps(const std::string& library) const {
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    std::string text((std::istreambuf_iterator<char>(maps)), std::istreambuf_iterator<char>());
    return text.find(library) != std::string::npos;
  }

  testing::TempFolder home;
  pid_t pid = 0;
};

// The whole way: a field-format pre-bill dropped into CortBorea while the program runs comes
// out as ESC/POS bytes at the far end of a serial line, and the run ends on SIGTERM in order.
TEST_F(ServiceTest, AFieldFormatJobBecomesEscPosBytesOnASerialLine) {
  std::string why;
  auto line = testing::LoopbackPort::Create(&why);
  if (!line) GTEST_SKIP() << why;
  home.Write("_Stampanti.ini",
             "[SAMSUNG SRP-350 Receipt]\r\nPorta=COM4:\r\nUscita=escpos:COM7\r\nChiediStato=0\r\n");
  home.Write("_Valico.ini", "[Varie]\r\nCort_Active=-1\r\nCort_Printer=SAMSUNG\r\nCort_COM=4\r\n");
  Start({"--com", "7=" + line->device()});
  home.Write("CortBorea/conto.txt",
             "Tavolo 5#0#8#0\r\nPizza margherita  7,50#0#9#0\r\n8001234567897#0#9#13\r\n"
             "Grazie#0#8#0\r\n#1\r\n");
  const std::string expected =
      "\x1b@\x1bt\x10Tavolo 5\nPizza margherita  7,50\n"
      "\x1dH\x02\x1b"
      "a\x01\x1dh\x2d\x1dw\x02\x1d"
      "f" +
      std::string(1, '\0') +
      "\x1dkC\x0d"
      "8001234567897" +
      "Grazie\n\n\n" + std::string("\x1dVB\0", 4);
  EXPECT_EQ(line->Read(expected.size(), 10s), expected);
  EXPECT_TRUE(Stop(5s));
  EXPECT_NE(home.Read("Valico.log").find("stopped"), std::string::npos) << "shut down in order";
}

// A request written while the service runs is taken up by a tick; with a server that never
// answers, SIGTERM during the transfer still ends the program within the FTP time-out, and the
// requester gets its answer. libcurl is loaded only for the transfer, and nothing of printing
// without a print. (A transfer that succeeds is LanciaFTP's test.)
TEST_F(ServiceTest, StopDuringATransferEndsWithinTheTimeout) {
  testing::FtpTestServer server;
  if (!server.problem().empty()) GTEST_SKIP() << server.problem();
  home.Write("_Valico.ini", "[Varie]\r\nBorea_Setting=0\r\n");
  home.Write("drive_c/out/a.txt", "a");
  Start({"--ftp-timeout", "3"});
  for (const char* library : {"libcurl", "libcairo", "libcups"})
    EXPECT_FALSE(Maps(library)) << "the resident service carries " << library << " unused";
  // Replaces the file in one step, as a requester should: the service never reads half a file.
  home.Write("_Valico.new",
             home.Read("_Valico.ini") + "FTP_Indirizzo=" + server.silent_server() +
                 "\r\nFTP_User=valico\r\nFTP_Pw=segreto\r\n"
                 "FTP_Directory=C:\\out\\\r\nFTP_NomeFile=a.txt\r\nFTP_Azione=1\r\n");
  std::filesystem::rename(home / "_Valico.new", home / "_Valico.ini");
  ASSERT_TRUE(WaitFor(
      [&] { return home.Read("_Valico.ini").find("FTP_Finish=In Corso") != std::string::npos; },
      5s));
  EXPECT_TRUE(WaitFor([&] { return Maps("libcurl"); }, 3s));
  auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(Stop(8s));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 6s);
  std::string ini = home.Read("_Valico.ini");
  EXPECT_NE(ini.find("FTP_Finish=Finito"), std::string::npos) << ini;
  EXPECT_NE(ini.find("FTP_Esito=0"), std::string::npos) << ini;
}

}  // namespace
}  // namespace valico
