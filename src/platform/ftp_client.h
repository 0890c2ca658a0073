#pragma once

#include <string>

namespace valico {

// One FTP account on one server, as the transfer routines pass it. `server` is a host name,
// optionally "host:port" (port 21 otherwise).
struct FtpAccount {
  std::string server;
  std::string user;
  std::string password;
};

// The FTP client behind the transfer routines: the three calls they make, each true on
// success and false with the reason in *err (never the password).
class FtpClient {
 public:
  virtual ~FtpClient() = default;
  // True when the server was reached, the login accepted and the remote file is not there
  // afterwards (deleted, or absent already).
  virtual bool DeleteFile(const FtpAccount& account, const std::string& remote,
                          std::string* err) = 0;
  virtual bool PutFile(const FtpAccount& account, const std::string& local_native,
                       const std::string& remote, std::string* err) = 0;
  virtual bool GetFile(const FtpAccount& account, const std::string& remote,
                       const std::string& local_native, std::string* err) = 0;
};

}  // namespace valico

#include <chrono>
#include <memory>

namespace valico {
class DiagLog;
// The machine's FTP client; every connection and transfer gives up after `timeout`.
std::unique_ptr<FtpClient> MakeFtpClient(DiagLog& log, std::chrono::seconds timeout);
}  // namespace valico
