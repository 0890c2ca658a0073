// Under Wine the test program cannot start the Linux FTP server itself: CTest starts it with
// ftp_test_server.sh and names its folder in VALICO_TEST_FTP_DIR (as Z:/...).
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/testing/ftp_test_server.h"

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
  const char* dir = std::getenv("VALICO_TEST_FTP_DIR");
  if (!dir) {
    problem_ = "no FTP test server: VALICO_TEST_FTP_DIR is not set";
    return;
  }
  std::istringstream(ReadFile(std::string(dir) + "/port")) >> port_ >> silent_port_;
  root_ = std::string(dir) + "/root";
  log_ = std::string(dir) + "/commands.log";
  if (port_ <= 0) problem_ = std::string("no FTP test server in ") + dir;
}

FtpTestServer::~FtpTestServer() = default;

std::string FtpTestServer::Commands() const { return ReadFile(log_); }

}  // namespace valico::testing
