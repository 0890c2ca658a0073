// The real program in real time: FTP requests written while the service runs.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/testing/ftp_test_server.h"
#include "platform/testing/temp_folder.h"
#include "platform/testing/wait_for.h"

extern char** environ;

namespace valico {
namespace {

using namespace std::chrono_literals;

using testing::WaitFor;

class ServiceJobsTest : public ::testing::Test {
 protected:
  void Start(std::vector<std::string> options) {
    const char* dir = std::getenv("VALICO_TEST_BIN_DIR");
    std::vector<std::string> args = {std::string(dir ? dir : ".") + "/valico", "--home",
                                     home.path()};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back("run");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    ASSERT_EQ(posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ), 0);
    // The start-up writes _Valico.ini last with RunTimeBorea; a request written before that
    // could be lost to the start-up's own writes, as with any two writers of one file.
    ASSERT_TRUE(WaitFor(
        [&] { return home.Read("_Valico.ini").find("RunTimeBorea=") != std::string::npos; }, 5s));
  }
  // SIGTERM; true when the program ended with status 0 within `limit`.
  bool Stop(std::chrono::milliseconds limit) {
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
  void Request(const std::string& server, const std::string& name) {
    // Replaces the file in one step, as a requester should: the service never reads half a file.
    std::string ini = home.Read("_Valico.ini");
    home.Write("_Valico.new", ini + "FTP_Indirizzo=" + server +
                                  "\r\nFTP_User=valico\r\nFTP_Pw=segreto\r\nFTP_Directory=C:\\out\\"
                                  "\r\nFTP_NomeFile=" +
                                  name + "\r\nFTP_Azione=1\r\n");
    std::filesystem::rename(home / "_Valico.new", home / "_Valico.ini");
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

// A request written while the service runs is taken up by a tick; with a server that never
// answers, SIGTERM during the transfer still ends the program within the FTP time-out, and the
// requester gets its answer. libcurl is loaded only for the transfer, and nothing of printing
// without a print. (A transfer that succeeds is LanciaFTP's test.)
TEST_F(ServiceJobsTest, StopDuringATransferEndsWithinTheTimeout) {
  testing::FtpTestServer server;
  if (!server.problem().empty()) GTEST_SKIP() << server.problem();
  home.Write("_Valico.ini", "[Varie]\r\nBorea_Setting=0\r\n");
  home.Write("drive_c/out/a.txt", "a");
  Start({"--ftp-timeout", "3"});
  for (const char* library : {"libcurl", "libcairo", "libcups"})
    EXPECT_FALSE(Maps(library)) << "the resident service carries " << library << " unused";
  Request(server.silent_server(), "a.txt");
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
