#include "platform/testing/ftp_test_server.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace valico::testing {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Runs the script that starts and stops the server; true when it succeeded.
bool RunScript(const char* action, const std::string& dir) {
  std::string command = std::string("sh \"") + VALICO_FTP_TEST_SERVER + "\" " + action + " \"" +
                        dir + "\" >/dev/null";
  return std::system(command.c_str()) == 0;
}

}  // namespace

FtpTestServer::FtpTestServer() {
  if (const char* dir = std::getenv("VALICO_TEST_FTP_DIR")) {
    dir_ = dir;
  } else {
#ifdef _WIN32
    problem_ = "no FTP test server: VALICO_TEST_FTP_DIR is not set";
    return;
#else
    std::random_device rd;
    dir_ =
        (std::filesystem::temp_directory_path() / ("valico-ftp-" + std::to_string(rd()))).string();
    own_ = true;
    if (!RunScript("start", dir_)) {
      problem_ = "the FTP test server did not start (is python3-pyftpdlib installed?)";
      return;
    }
#endif
  }
  std::istringstream(ReadFile(dir_ + "/port")) >> port_ >> silent_port_;
  if (port_ <= 0) problem_ = "no FTP test server in " + dir_;
}

FtpTestServer::~FtpTestServer() {
  if (!own_) return;
  RunScript("stop", dir_);
  std::error_code ec;
  std::filesystem::remove_all(dir_, ec);
}

std::string FtpTestServer::Commands() const { return ReadFile(dir_ + "/commands.log"); }

}  // namespace valico::testing
