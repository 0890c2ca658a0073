// Under Wine the test program cannot start the Linux FTP server itself: the script that runs
// the tests starts it and names it in the environment.
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/testing/ftp_test_server.h"

namespace valico::testing {

FtpTestServer::FtpTestServer() {
  const char* port = std::getenv("VALICO_TEST_FTP_PORT");
  const char* root = std::getenv("VALICO_TEST_FTP_ROOT");
  const char* log = std::getenv("VALICO_TEST_FTP_LOG");
  if (!port || !root || !log) {
    problem_ = "no FTP test server: set VALICO_TEST_FTP_PORT, _ROOT and _LOG";
    return;
  }
  port_ = std::atoi(port);
  root_ = root;
  log_ = log;
}

FtpTestServer::~FtpTestServer() = default;

std::string FtpTestServer::Commands() const {
  std::ifstream in(log_, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace valico::testing
