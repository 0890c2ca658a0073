// FTP through libcurl: one easy handle per call, passive mode, login with the account's user
// and password (never put into a URL, so no error text can carry them).
#include <curl/curl.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "platform/diag_log.h"
#include "platform/ftp_client.h"

namespace valico {
namespace {

struct CurlDeleter {
  void operator()(CURL* h) const { curl_easy_cleanup(h); }
};
using CurlHandle = std::unique_ptr<CURL, CurlDeleter>;

struct SlistDeleter {
  void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};
using Slist = std::unique_ptr<curl_slist, SlistDeleter>;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// A remote path for a URL: every byte but the unreserved ones percent-encoded, "/" kept as
// the separator of folders.
std::string EscapePath(CURL* h, const std::string& path) {
  std::string out;
  size_t start = 0;
  for (;;) {
    size_t slash = path.find('/', start);
    std::string part =
        path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
    char* e = curl_easy_escape(h, part.data(), static_cast<int>(part.size()));
    if (e) {
      out += e;
      curl_free(e);
    }
    if (slash == std::string::npos) break;
    out += '/';
    start = slash + 1;
  }
  return out;
}

bool HasLineBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

class CurlFtp : public FtpClient {
 public:
  CurlFtp(DiagLog& log, std::chrono::seconds timeout) : FtpClient(timeout), log_(log) {
    curl_global_init(CURL_GLOBAL_DEFAULT);
  }
  ~CurlFtp() override { curl_global_cleanup(); }

  bool DeleteRemote(const FtpAccount& a, const std::string& remote, std::string* err) override {
    Session s;
    if (!Open(a, "", &s, err)) return false;
    if (HasLineBreak(remote)) return Fail(err, "the remote name holds a line break");
    curl_easy_setopt(s.h.get(), CURLOPT_NOBODY, 1L);
    // DELE, and when the server refuses it, MDTM to learn whether the file is there at all.
    CURLcode rc = RunCommand(s, "DELE " + remote);
    if (rc == CURLE_OK) return true;
    if (rc != CURLE_QUOTE_ERROR) return Fail(err, s.Reason(rc));
    long dele_reply = s.Reply();
    std::string dele_reason = s.Reason(rc);
    rc = RunCommand(s, "MDTM " + remote);
    if (rc == CURLE_OK) return Fail(err, "the server kept \"" + remote + "\": " + dele_reason);
    if (rc != CURLE_QUOTE_ERROR) return Fail(err, s.Reason(rc));
    if (s.Reply() == 550 || dele_reply == 550) return true;  // not there
    return Fail(err, "could not delete \"" + remote + "\": " + dele_reason);
  }

  bool PutFile(const FtpAccount& a, const std::string& local_native, const std::string& remote,
               std::string* err) override {
    FilePtr in(std::fopen(local_native.c_str(), "rb"));
    if (!in)
      return Fail(err, "cannot open the local file " + local_native + ": " + std::strerror(errno));
    std::error_code ec;
    auto size = std::filesystem::file_size(local_native, ec);
    if (ec) return Fail(err, "cannot read the local file " + local_native + ": " + ec.message());
    if (remote.empty()) return Fail(err, "no remote file name");
    Session s;
    if (!Open(a, remote, &s, err, /*escape_slash=*/true)) return false;
    curl_easy_setopt(s.h.get(), CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(s.h.get(), CURLOPT_READDATA, in.get());
    curl_easy_setopt(s.h.get(), CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(size));
    CURLcode rc = curl_easy_perform(s.h.get());
    if (rc != CURLE_OK) return Fail(err, s.Reason(rc));
    return true;
  }

  bool GetFile(const FtpAccount& a, const std::string& remote, const std::string& local_native,
               std::string* err) override {
    if (remote.empty() || remote.back() == '/') return Fail(err, "no remote file name");
    if (HasLineBreak(remote)) return Fail(err, "the remote name holds a line break");
    // The download goes to a file beside the target, which replaces the target only once
    // the whole file has arrived: a failed transfer leaves the old file as it was.
    const std::string part = local_native + ".valico-part";
    FilePtr out(std::fopen(part.c_str(), "wb"));
    if (!out) return Fail(err, "cannot create " + part + ": " + std::strerror(errno));
    Session s;
    bool ok = Open(a, remote, &s, err);
    if (ok) {
      curl_easy_setopt(s.h.get(), CURLOPT_WRITEDATA, out.get());
      CURLcode rc = curl_easy_perform(s.h.get());
      if (rc != CURLE_OK) ok = Fail(err, s.Reason(rc));
    }
    if (ok && std::fflush(out.get()) != 0)
      ok = Fail(err, "cannot write " + part + ": " + std::strerror(errno));
    out.reset();
    std::error_code ec;
    if (ok) {
      std::filesystem::rename(part, local_native, ec);
      if (ec) ok = Fail(err, "cannot replace " + local_native + ": " + ec.message());
    }
    if (!ok) std::filesystem::remove(part, ec);
    return ok;
  }

 private:
  struct Session {
    CurlHandle h;
    Slist commands;
    char error[CURL_ERROR_SIZE] = {};
    std::string where;

    long Reply() const {
      long code = 0;
      curl_easy_getinfo(h.get(), CURLINFO_RESPONSE_CODE, &code);
      return code;
    }
    std::string Reason(CURLcode rc) const {
      std::string r = where + ": " + curl_easy_strerror(rc);
      if (error[0]) r += std::string(" (") + error + ")";
      if (long code = Reply()) r += ", last reply " + std::to_string(code);
      return r;
    }
  };

  static bool Fail(std::string* err, const std::string& why) {
    if (err) *err = why;
    return false;
  }

  static int Progress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<CurlFtp*>(self)->aborted() ? 1 : 0;
  }

  bool Open(const FtpAccount& a, const std::string& remote, Session* s, std::string* err,
            bool escape_slash = false) {
    if (aborted()) return Fail(err, "the transfer was cancelled");
    std::string host;
    int port = 0;
    if (!ParseFtpServer(a.server, &host, &port, err)) return false;
    s->h.reset(curl_easy_init());
    if (!s->h) return Fail(err, "libcurl could not start a session");
    CURL* h = s->h.get();
    s->where = "FTP " + host + ":" + std::to_string(port);
    std::string path;
    if (escape_slash) {
      char* e = curl_easy_escape(h, remote.data(), static_cast<int>(remote.size()));
      if (e) path = e;
      curl_free(e);
    } else {
      path = EscapePath(h, remote);
    }
    std::string url = "ftp://" + host + ":" + std::to_string(port) + "/" + path;
    long secs = static_cast<long>(timeout().count());
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "ftp");
    if (!a.user.empty()) curl_easy_setopt(h, CURLOPT_USERNAME, a.user.c_str());
    curl_easy_setopt(h, CURLOPT_PASSWORD, a.password.c_str());
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, s->error);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);  // signals belong to the service loop
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, secs);
    curl_easy_setopt(h, CURLOPT_SERVER_RESPONSE_TIMEOUT, secs);
    // A transfer may take long, but not stand still: below 1 byte/s for the time-out ends it.
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, secs);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &CurlFtp::Progress);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, this);
    log_.Debug(s->where + ": " + (a.user.empty() ? "anonymous" : "user " + a.user) + ", " +
               (remote.empty() ? "login folder" : "\"" + remote + "\""));
    return true;
  }

  CURLcode RunCommand(Session& s, const std::string& command) {
    s.commands.reset(curl_slist_append(nullptr, command.c_str()));
    s.error[0] = 0;
    curl_easy_setopt(s.h.get(), CURLOPT_QUOTE, s.commands.get());
    return curl_easy_perform(s.h.get());
  }

  DiagLog& log_;
};

}  // namespace

std::unique_ptr<FtpClient> MakeFtpClient(DiagLog& log, std::chrono::seconds timeout) {
  return std::make_unique<CurlFtp>(log, timeout);
}

}  // namespace valico
