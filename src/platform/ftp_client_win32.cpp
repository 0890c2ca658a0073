// FTP through WinINet: one internet session and one FTP connection per call, passive mode.
#include <windows.h>
#include <wininet.h>

#include <memory>

#include "platform/diag_log.h"
#include "platform/ftp_client.h"

namespace valico {
namespace {

struct InternetCloser {
  void operator()(void* h) const { InternetCloseHandle(static_cast<HINTERNET>(h)); }
};
using Internet = std::unique_ptr<void, InternetCloser>;

// The text of a WinINet or system error, with the server's last reply when there is one.
std::string LastError(DWORD code) {
  std::string text;
  char buf[512] = {};
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS,
                           GetModuleHandleA("wininet.dll"), code, 0, buf, sizeof buf, nullptr);
  if (n == 0)
    n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                       0, buf, sizeof buf, nullptr);
  text = n ? std::string(buf, n) : "error " + std::to_string(code);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
    text.pop_back();
  DWORD detail = 0, len = sizeof buf;
  buf[0] = 0;
  if (InternetGetLastResponseInfoA(&detail, buf, &len) && len > 0) {
    std::string reply(buf, len);
    while (!reply.empty() && (reply.back() == '\r' || reply.back() == '\n')) reply.pop_back();
    text += " (server: " + reply + ")";
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
    if (FtpDeleteFileA(c.ftp.get(), remote.c_str())) return true;
    DWORD code = GetLastError();
    std::string why = LastError(code);
    // Refused: find out whether the file is there at all.
    WIN32_FIND_DATAA found{};
    HINTERNET find = FtpFindFirstFileA(c.ftp.get(), remote.c_str(), &found,
                                       INTERNET_FLAG_RELOAD, 0);
    if (find) {
      InternetCloseHandle(find);
      return Fail(err, c.where + ": the server kept \"" + remote + "\": " + why);
    }
    DWORD find_code = GetLastError();
    if (find_code == ERROR_NO_MORE_FILES || LastReplyIs("550") ||
        (code == ERROR_INTERNET_EXTENDED_ERROR && why.find("550") != std::string::npos))
      return true;  // not there
    return Fail(err, c.where + ": could not delete \"" + remote + "\": " + why);
  }

  bool PutFile(const FtpAccount& a, const std::string& local_native, const std::string& remote,
               std::string* err) override {
    DWORD attributes = GetFileAttributesA(local_native.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
      return Fail(err, "cannot open the local file " + local_native + ": " +
                           LastError(GetLastError()));
    if (remote.empty()) return Fail(err, "no remote file name");
    Connection c;
    if (!Connect(a, remote, &c, err)) return false;
    if (!FtpPutFileA(c.ftp.get(), local_native.c_str(), remote.c_str(),
                     FTP_TRANSFER_TYPE_BINARY, 0))
      return Fail(err, c.where + ": upload of \"" + remote + "\" failed: " +
                           LastError(GetLastError()));
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
    if (!FtpGetFileA(c.ftp.get(), remote.c_str(), part.c_str(), FALSE, FILE_ATTRIBUTE_NORMAL,
                     FTP_TRANSFER_TYPE_BINARY | INTERNET_FLAG_RELOAD, 0)) {
      std::string why = LastError(GetLastError());
      ::DeleteFileA(part.c_str());
      return Fail(err, c.where + ": download of \"" + remote + "\" failed: " + why);
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
    c->ftp.reset(InternetConnectA(c->session.get(), host.c_str(),
                                  static_cast<INTERNET_PORT>(port),
                                  a.user.empty() ? nullptr : a.user.c_str(),
                                  a.user.empty() ? nullptr : a.password.c_str(),
                                  INTERNET_SERVICE_FTP, INTERNET_FLAG_PASSIVE, 0));
    if (!c->ftp) return Fail(err, c->where + ": " + LastError(GetLastError()));
    return true;
  }

  DiagLog& log_;
};

}  // namespace

std::unique_ptr<FtpClient> MakeFtpClient(DiagLog& log, std::chrono::seconds timeout) {
  return std::make_unique<WinInetFtp>(log, timeout);
}

}  // namespace valico
