#pragma once

#include <string>

namespace valico::testing {

// A real FTP server on 127.0.0.1 for the tests (pyftpdlib, run by /usr/bin/python3), with the
// user "valico" / "segreto" on a root folder of its own, and "reader" / "reader" who may not
// delete or store. Started by the constructor and stopped by the destructor; where the test
// program cannot start it (under Wine), VALICO_TEST_FTP_DIR names the folder of one already
// running, as ftp_test_server.sh leaves it (files "port", "commands.log", folder "root").
// Per-OS.
class FtpTestServer {
 public:
  FtpTestServer();
  ~FtpTestServer();
  FtpTestServer(const FtpTestServer&) = delete;
  FtpTestServer& operator=(const FtpTestServer&) = delete;

  // Empty when the server runs; otherwise why it does not (the test should skip).
  const std::string& problem() const { return problem_; }
  std::string server() const { return "127.0.0.1:" + std::to_string(port_); }
  int port() const { return port_; }
  // "127.0.0.1:port" of a server that accepts connections and never answers.
  std::string silent_server() const { return "127.0.0.1:" + std::to_string(silent_port_); }
  // Native path of a file in the server's root folder.
  std::string InRoot(const std::string& name) const { return root_ + "/" + name; }
  // The commands the server has received, one per line ("DELE x", "STOR y"...).
  std::string Commands() const;

 private:
  std::string problem_;
  std::string root_;
  std::string log_;
  std::string work_;  // our own folder, removed at the end (empty for an outside server)
  int port_ = 0;
  int silent_port_ = 0;
  long long pid_ = 0;
};

}  // namespace valico::testing
