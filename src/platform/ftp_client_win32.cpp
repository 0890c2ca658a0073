// FTP through WinINet: one internet session and one FTP connection per call, passive mode.
#include <windows.h>
#include <wininet.h>

#include <chrono>
#include <future>
#include <memory>
#include <thread>

#include "platform/diag_log.h"
#include "platform/ftp_client.h"
#include "platform/system_error_win32.h"

namespace valico {
namespace {

struct InternetCloser {
  void operator()(void* h) const { InternetCloseHandle(static_cast<HINTERNET>(h)); }
};
using Internet = std::unique_ptr<void, InternetCloser>;

// The text of a WinINet or system error; with the server's last reply when the error is the
// server's (that reply is kept per thread and would be stale otherwise).
std::string LastError(DWORD code) {
  std::string text;
  switch (code) {
    case ERROR_INTERNET_TIMEOUT:
      text = "the server did not answer in time";
      break;
    case ERROR_INTERNET_CANNOT_CONNECT:
      text = "cannot connect to the server";
      break;
    case ERROR_INTERNET_NAME_NOT_RESOLVED:
      text = "unknown server name";
      break;
    case ERROR_INTERNET_LOGIN_FAILURE:
      text = "login refused";
      break;
    case ERROR_INTERNET_EXTENDED_ERROR:
      text = "the server refused";
      break;
    case ERROR_INTERNET_OPERATION_CANCELLED:
      text = "cancelled";
      break;
    default:
      text = SystemErrorText(code);
  }
  if (code == ERROR_INTERNET_EXTENDED_ERROR || code == ERROR_INTERNET_LOGIN_FAILURE) {
    char buf[512] = {};
    DWORD detail = 0, len = sizeof buf;
    if (InternetGetLastResponseInfoA(&detail, buf, &len) && len > 0) {
      std::string reply(buf, len < sizeof buf ? len : sizeof buf - 1);
      while (!reply.empty() && (reply.back() == '\r' || reply.back() == '\n')) reply.pop_back();
      text += " (server: " + reply + ")";
    }
  }
  return text + " [" + std::to_string(code) + "]";
}

// The last reply of the server starts with this code ("550").
bool LastReplyIs(const char* code) {
  char buf[512] = {};
  DWORD detail = 0, len = sizeof buf;
  if (!InternetGetLastResponseInfoA(&detail, buf, &len)) return false;
  std::string reply(buf, len);
  size_t at = reply.rfind(std::string("\n") + code);
  return reply.rfind(code, 0) == 0 || at != std::string::npos;
}

class WinInetFtp : public FtpClient {
 public:
  WinInetFtp(DiagLog& log, std::chrono::seconds timeout) : FtpClient(timeout), log_(log) {}

  bool DeleteRemote(const FtpAccount& a, const std::string& remote, std::string* err) override {
    Connection c;
    if (!Connect(a, remote, &c, err)) return false;
    Result del = Guarded(
        c, [&] { return FtpDeleteFileA(c.ftp.get(), remote.c_str()) != FALSE; }, true);
    if (del.ok) return true;
    if (del.cut) return Fail(err, c.where + ": " + del.why);
    // Refused: find out whether the file is there at all.
    bool there = false;
    Result find = Guarded(
        c,
        [&] {
          WIN32_FIND_DATAA found{};
          HINTERNET h =
              FtpFindFirstFileA(c.ftp.get(), remote.c_str(), &found, INTERNET_FLAG_RELOAD, 0);
          if (h) InternetCloseHandle(h);
          there = h != nullptr;
          return there;
        },
        true);
    if (there) return Fail(err, c.where + ": the server kept \"" + remote + "\": " + del.why);
    if (!find.cut && (find.code == ERROR_NO_MORE_FILES || find.reply_550 || del.reply_550))
      return true;  // not there
    return Fail(err, c.where + ": could not delete \"" + remote + "\": " + del.why);
  }

  bool PutFile(const FtpAccount& a, const std::string& local_native, const std::string& remote,
               std::string* err) override {
    DWORD attributes = GetFileAttributesA(local_native.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
      return Fail(err,
                  "cannot open the local file " + local_native + ": " + LastError(GetLastError()));
    if (remote.empty()) return Fail(err, "no remote file name");
    Connection c;
    if (!Connect(a, remote, &c, err)) return false;
    Result put = Guarded(
        c,
        [&] {
          return FtpPutFileA(c.ftp.get(), local_native.c_str(), remote.c_str(),
                             FTP_TRANSFER_TYPE_BINARY, 0) != FALSE;
        },
        false);
    if (!put.ok) return Fail(err, c.where + ": upload of \"" + remote + "\" failed: " + put.why);
    return true;
  }

  bool GetFile(const FtpAccount& a, const std::string& remote, const std::string& local_native,
               std::string* err) override {
    if (remote.empty() || remote.back() == '/') return Fail(err, "no remote file name");
    Connection c;
    if (!Connect(a, remote, &c, err)) return false;
    // The download goes to a file beside the target, which replaces the target only once
    // the whole file has arrived: a failed transfer leaves the old file as it was.
    const std::string part = local_native + ".valico-part";
    Result get = Guarded(
        c,
        [&] {
          return FtpGetFileA(c.ftp.get(), remote.c_str(), part.c_str(), FALSE,
                             FILE_ATTRIBUTE_NORMAL, FTP_TRANSFER_TYPE_BINARY | INTERNET_FLAG_RELOAD,
                             0) != FALSE;
        },
        false);
    if (!get.ok) {
      ::DeleteFileA(part.c_str());
      return Fail(err, c.where + ": download of \"" + remote + "\" failed: " + get.why);
    }
    if (!MoveFileExA(part.c_str(), local_native.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      std::string why = LastError(GetLastError());
      ::DeleteFileA(part.c_str());
      return Fail(err, "cannot replace " + local_native + ": " + why);
    }
    return true;
  }

 private:
  struct Connection {
    Internet session;
    Internet ftp;
    std::string where;
  };

  // How a blocking WinINet call ended, captured on its own thread (errors are per thread).
  struct Result {
    bool ok = false;
    bool cut = false;  // cut short: time-out or abort
    DWORD code = 0;
    std::string why;
    bool reply_550 = false;
  };

  // Runs a blocking WinINet call on a thread of its own so that it can be cut short: once the
  // client is aborted, or past the time-out when `bounded` (WinINet does not apply its own
  // time-outs to every FTP wait), the session handle is closed, which makes the call return.
  // Transfers are not bounded as a whole: a large file may take long.
  template <typename F>
  Result Guarded(Connection& c, F call, bool bounded) {
    std::packaged_task<Result()> task([&] {
      Result r;
      r.ok = call();
      if (!r.ok) {
        r.code = GetLastError();
        r.why = LastError(r.code);
        r.reply_550 = LastReplyIs("550");
      }
      return r;
    });
    std::future<Result> done = task.get_future();
    std::thread worker(std::move(task));
    auto end = std::chrono::steady_clock::now() + timeout();
    std::string cut;
    while (done.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
      if (!cut.empty()) continue;
      if (aborted())
        cut = "the transfer was cancelled";
      else if (bounded && std::chrono::steady_clock::now() > end)
        cut = "the server did not answer in time";
      if (!cut.empty()) InternetCloseHandle(c.session.get());
    }
    worker.join();
    Result r = done.get();
    if (!cut.empty()) {
      // Closing the session closed its children: nothing is left to close.
      c.ftp.release();
      c.session.release();
      r.ok = false;
      r.cut = true;
      r.why = cut;
    }
    return r;
  }

  static bool Fail(std::string* err, const std::string& why) {
    if (err) *err = why;
    return false;
  }

  bool Connect(const FtpAccount& a, const std::string& remote, Connection* c, std::string* err) {
    if (aborted()) return Fail(err, "the transfer was cancelled");
    std::string host;
    int port = 0;
    if (!ParseFtpServer(a.server, &host, &port, err)) return false;
    c->where = "FTP " + host + ":" + std::to_string(port);
    c->session.reset(InternetOpenA("Valico", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!c->session) return Fail(err, c->where + ": " + LastError(GetLastError()));
    DWORD ms = static_cast<DWORD>(timeout().count() * 1000);
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT,
                         INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT,
                         INTERNET_OPTION_DATA_SEND_TIMEOUT})
      InternetSetOptionA(c->session.get(), option, &ms, sizeof ms);
    log_.Debug(c->where + ": " + (a.user.empty() ? "anonymous" : "user " + a.user) + ", " +
               (remote.empty() ? "login folder" : "\"" + remote + "\""));
    HINTERNET ftp = nullptr;
    Result r = Guarded(
        *c,
        [&] {
          ftp = InternetConnectA(c->session.get(), host.c_str(), static_cast<INTERNET_PORT>(port),
                                 a.user.empty() ? nullptr : a.user.c_str(),
                                 a.user.empty() ? nullptr : a.password.c_str(),
                                 INTERNET_SERVICE_FTP, INTERNET_FLAG_PASSIVE, 0);
          return ftp != nullptr;
        },
        true);
    if (!r.ok) return Fail(err, c->where + ": " + r.why);
    c->ftp.reset(ftp);
    return true;
  }

  DiagLog& log_;
};

}  // namespace

std::unique_ptr<FtpClient> MakeFtpClient(DiagLog& log, std::chrono::seconds timeout) {
  return std::make_unique<WinInetFtp>(log, timeout);
}

}  // namespace valico
