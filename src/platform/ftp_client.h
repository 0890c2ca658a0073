#pragma once

#include <atomic>
#include <chrono>
#include <memory>
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
// success and false with the reason in *err (never the password). Every connection and
// transfer gives up after the client's time-out: no reply, or no data moving, for that long.
class FtpClient {
 public:
  explicit FtpClient(std::chrono::seconds timeout = std::chrono::seconds(30)) : timeout_(timeout) {}
  virtual ~FtpClient() = default;
  // True when the server was reached, the login accepted and the remote file is not there
  // afterwards (deleted, or absent already).
  virtual bool DeleteRemote(const FtpAccount& account, const std::string& remote,
                            std::string* err) = 0;
  // Stores the local file (a native path) under the remote name, replacing a file there.
  virtual bool PutFile(const FtpAccount& account, const std::string& local_native,
                       const std::string& remote, std::string* err) = 0;
  // Fetches the remote file into the local file (a native path), replacing it only when the
  // whole file has arrived.
  virtual bool GetFile(const FtpAccount& account, const std::string& remote,
                       const std::string& local_native, std::string* err) = 0;

  std::chrono::seconds timeout() const { return timeout_; }
  // While set, a call in progress ends as soon as it can and later calls fail at once, with
  // false. Safe from any thread (the service sets it when it stops during a transfer).
  void SetAborted(bool aborted) { aborted_.store(aborted); }
  bool aborted() const { return aborted_.load(); }

 private:
  std::chrono::seconds timeout_;
  std::atomic<bool> aborted_{false};
};

// Splits "host" or "host:port" (port 21 when none is given). False with *err for an empty
// host, a port that is not a number from 1 to 65535, or characters that cannot be in a host.
bool ParseFtpServer(const std::string& server, std::string* host, int* port, std::string* err);

class DiagLog;
// The machine's FTP client (libcurl on POSIX, WinINet on Windows). Per-OS.
std::unique_ptr<FtpClient> MakeFtpClient(DiagLog& log, std::chrono::seconds timeout);

}  // namespace valico
