#pragma once

#include <string>

namespace valico::testing {

// A real FTP server on 127.0.0.1 for the tests (pyftpdlib, started by ftp_test_server.sh),
// with the user "valico" / "segreto" on a root folder of its own, and "reader" / "reader" who
// may not delete or store. On Linux the constructor starts one in a folder of its own and the
// destructor stops it; where the test program cannot start it (under Wine),
// VALICO_TEST_FTP_DIR names the folder of one already running.
class FtpTestServer {
 public:
  FtpTestServer();
  ~FtpTestServer();
  FtpTestServer(const FtpTestServer&) = delete;
  FtpTestServer& operator=(const FtpTestServer&) = delete;

  // Empty when the server runs; otherwise why it does not (the test should skip).
  const std::string& problem() const { return problem_; }
  std::string server() const { return "127.0.0.1:" + std::to_string(port_); }
  // "127.0.0.1:port" of a server that accepts connections and never answers.
  std::string silent_server() const { return "127.0.0.1:" + std::to_string(silent_port_); }
  // Native path of a file in the server's root folder.
  std::string InRoot(const std::string& name) const { return dir_ + "/root/" + name; }
  // The commands the server has received, one per line ("DELE x", "STOR y"...).
  std::string Commands() const;

 private:
  std::string problem_;
  std::string dir_;   // the server's folder: "port", "commands.log", "root/"
  bool own_ = false;  // started (and to be stopped) by this object
  int port_ = 0;
  int silent_port_ = 0;
};

}  // namespace valico::testing
