#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>
#include <vector>

#include "platform/testing/ftp_test_server.h"

extern char** environ;

namespace valico::testing {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

FtpTestServer::FtpTestServer() {
  if (const char* dir = std::getenv("VALICO_TEST_FTP_DIR")) {
    std::istringstream(ReadFile(std::string(dir) + "/port")) >> port_ >> silent_port_;
    root_ = std::string(dir) + "/root";
    log_ = std::string(dir) + "/commands.log";
    if (port_ <= 0) problem_ = std::string("no FTP test server in ") + dir;
    return;
  }
  namespace fs = std::filesystem;
  std::random_device rd;
  fs::path work = fs::temp_directory_path() / ("valico-ftp-" + std::to_string(rd()));
  fs::create_directories(work / "root");
  work_ = work.string();
  root_ = (work / "root").string();
  log_ = (work / "commands.log").string();
  std::string ready = (work / "port").string();

  std::string python = "/usr/bin/python3";
  std::string script = VALICO_FTP_TEST_SERVER;
  std::vector<std::string> args = {python,    script, "--root", root_,
                                   "--ready", ready,  "--log",  log_};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, python.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
    problem_ = "cannot start " + python;
    return;
  }
  pid_ = pid;
  // Waiting for the server to listen, not for a tick.
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  while (std::chrono::steady_clock::now() < end) {
    if (fs::exists(ready)) {
      std::istringstream(ReadFile(ready)) >> port_ >> silent_port_;
      return;
    }
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) {
      pid_ = 0;
      problem_ = "the FTP test server ended at start (is python3-pyftpdlib installed?)";
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  problem_ = "the FTP test server did not start listening";
}

FtpTestServer::~FtpTestServer() {
  if (pid_ > 0) {
    kill(static_cast<pid_t>(pid_), SIGTERM);
    int status = 0;
    waitpid(static_cast<pid_t>(pid_), &status, 0);
  }
  if (!work_.empty()) {
    std::error_code ec;
    std::filesystem::remove_all(work_, ec);
  }
}

std::string FtpTestServer::Commands() const { return ReadFile(log_); }

}  // namespace valico::testing
