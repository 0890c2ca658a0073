// FTP through libcurl: one easy handle per call, passive mode, login with the account's user
// and password (never put into a URL, so no error text can carry them). libcurl (and the
// libraries it brings) is loaded at the first transfer, not at start: most tills never make
// one, and the resident service should not carry it.
#include <curl/curl.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>

#include "platform/diag_log.h"
#include "platform/ftp_client.h"
#include "platform/shared_library_posix.h"

namespace valico {
namespace {

// The libcurl calls this client makes, typed by libcurl's own header.
struct CurlApi {
  decltype(&curl_global_init) global_init;
  decltype(&curl_global_cleanup) global_cleanup;
  decltype(&curl_easy_init) easy_init;
  decltype(&curl_easy_cleanup) easy_cleanup;
  decltype(&curl_easy_setopt) easy_setopt;
  decltype(&curl_easy_perform) easy_perform;
  decltype(&curl_easy_getinfo) easy_getinfo;
  decltype(&curl_easy_strerror) easy_strerror;
  decltype(&curl_easy_escape) easy_escape;
  decltype(&curl_free) free;
  decltype(&curl_slist_append) slist_append;
  decltype(&curl_slist_free_all) slist_free_all;
};

// libcurl, loaded once per process on first use; null with the reason when it cannot be.
const CurlApi* LoadCurl(std::string* err) {
  static std::string failure;
  static const CurlApi* api = []() -> const CurlApi* {
    static SharedLibrary lib;
    static CurlApi c;
    std::string& e = failure;
    bool ok = lib.Open({"libcurl.so.4", "libcurl-gnutls.so.4"}, &e) &&
              lib.Find("curl_global_init", &c.global_init, &e) &&
              lib.Find("curl_global_cleanup", &c.global_cleanup, &e) &&
              lib.Find("curl_easy_init", &c.easy_init, &e) &&
              lib.Find("curl_easy_cleanup", &c.easy_cleanup, &e) &&
              lib.Find("curl_easy_setopt", &c.easy_setopt, &e) &&
              lib.Find("curl_easy_perform", &c.easy_perform, &e) &&
              lib.Find("curl_easy_getinfo", &c.easy_getinfo, &e) &&
              lib.Find("curl_easy_strerror", &c.easy_strerror, &e) &&
              lib.Find("curl_easy_escape", &c.easy_escape, &e) &&
              lib.Find("curl_free", &c.free, &e) &&
              lib.Find("curl_slist_append", &c.slist_append, &e) &&
              lib.Find("curl_slist_free_all", &c.slist_free_all, &e);
    return ok ? &c : nullptr;
  }();
  if (!api && err) *err = "FTP is not available: " + failure;
  return api;
}

struct CurlDeleter {
  const CurlApi* curl;
  void operator()(CURL* h) const { curl->easy_cleanup(h); }
};
using CurlHandle = std::unique_ptr<CURL, CurlDeleter>;

struct SlistDeleter {
  const CurlApi* curl;
  void operator()(curl_slist* l) const { curl->slist_free_all(l); }
};
using Slist = std::unique_ptr<curl_slist, SlistDeleter>;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// A remote path for a URL: every byte but the unreserved ones percent-encoded, "/" kept as
// the separator of folders.
std::string EscapePath(const CurlApi& curl, CURL* h, const std::string& path) {
  std::string out;
  size_t start = 0;
  for (;;) {
    size_t slash = path.find('/', start);
    std::string part =
        path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
    char* e = curl.easy_escape(h, part.data(), static_cast<int>(part.size()));
    if (e) {
      out += e;
      curl.free(e);
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
  CurlFtp(DiagLog& log, std::chrono::seconds timeout) : FtpClient(timeout), log_(log) {}
  ~CurlFtp() override {
    if (initialised_) curl_->global_cleanup();
  }

  bool DeleteRemote(const FtpAccount& a, const std::string& remote, std::string* err) override {
    Session s;
    if (!Open(a, "", &s, err)) return false;
    if (HasLineBreak(remote)) return Fail(err, "the remote name holds a line break");
    curl_->easy_setopt(s.h.get(), CURLOPT_NOBODY, 1L);
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
    curl_->easy_setopt(s.h.get(), CURLOPT_UPLOAD, 1L);
    curl_->easy_setopt(s.h.get(), CURLOPT_READDATA, in.get());
    curl_->easy_setopt(s.h.get(), CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(size));
    CURLcode rc = curl_->easy_perform(s.h.get());
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
      curl_->easy_setopt(s.h.get(), CURLOPT_WRITEDATA, out.get());
      CURLcode rc = curl_->easy_perform(s.h.get());
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
    const CurlApi* curl = nullptr;
    CurlHandle h{nullptr, CurlDeleter{nullptr}};
    Slist commands{nullptr, SlistDeleter{nullptr}};
    char error[CURL_ERROR_SIZE] = {};
    std::string where;

    long Reply() const {
      long code = 0;
      curl->easy_getinfo(h.get(), CURLINFO_RESPONSE_CODE, &code);
      return code;
    }
    std::string Reason(CURLcode rc) const {
      std::string r = where + ": " + curl->easy_strerror(rc);
      if (error[0]) r += std::string(" (") + error + ")";
      if (long code = Reply()) r += ", last reply " + std::to_string(code);
      return r;
    }
  };

  // libcurl, loaded and set up at this client's first call.
  bool Ready(std::string* err) {
    std::lock_guard lock(mu_);
    if (initialised_) return true;
    curl_ = LoadCurl(err);
    if (!curl_) return false;
    if (curl_->global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK)
      return Fail(err, "libcurl could not be set up");
    initialised_ = true;
    return true;
  }

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
    if (!Ready(err)) return false;
    std::string host;
    int port = 0;
    if (!ParseFtpServer(a.server, &host, &port, err)) return false;
    s->curl = curl_;
    s->h = CurlHandle(curl_->easy_init(), CurlDeleter{curl_});
    s->commands = Slist(nullptr, SlistDeleter{curl_});
    if (!s->h) return Fail(err, "libcurl could not start a session");
    CURL* h = s->h.get();
    s->where = "FTP " + host + ":" + std::to_string(port);
    std::string path;
    if (escape_slash) {
      char* e = curl_->easy_escape(h, remote.data(), static_cast<int>(remote.size()));
      if (e) path = e;
      curl_->free(e);
    } else {
      path = EscapePath(*curl_, h, remote);
    }
    std::string url = "ftp://" + host + ":" + std::to_string(port) + "/" + path;
    long secs = static_cast<long>(timeout().count());
    curl_->easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_->easy_setopt(h, CURLOPT_PROTOCOLS_STR, "ftp");
    if (!a.user.empty()) curl_->easy_setopt(h, CURLOPT_USERNAME, a.user.c_str());
    curl_->easy_setopt(h, CURLOPT_PASSWORD, a.password.c_str());
    curl_->easy_setopt(h, CURLOPT_ERRORBUFFER, s->error);
    curl_->easy_setopt(h, CURLOPT_NOSIGNAL, 1L);  // signals belong to the service loop
    curl_->easy_setopt(h, CURLOPT_CONNECTTIMEOUT, secs);
    curl_->easy_setopt(h, CURLOPT_SERVER_RESPONSE_TIMEOUT, secs);
    // A transfer may take long, but not stand still: below 1 byte/s for the time-out ends it.
    curl_->easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_->easy_setopt(h, CURLOPT_LOW_SPEED_TIME, secs);
    curl_->easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_->easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &CurlFtp::Progress);
    curl_->easy_setopt(h, CURLOPT_XFERINFODATA, this);
    log_.Debug(s->where + ": " + (a.user.empty() ? "anonymous" : "user " + a.user) + ", " +
               (remote.empty() ? "login folder" : "\"" + remote + "\""));
    return true;
  }

  CURLcode RunCommand(Session& s, const std::string& command) {
    s.commands.reset(curl_->slist_append(nullptr, command.c_str()));
    s.error[0] = 0;
    curl_->easy_setopt(s.h.get(), CURLOPT_QUOTE, s.commands.get());
    return curl_->easy_perform(s.h.get());
  }

  DiagLog& log_;
  std::mutex mu_;
  const CurlApi* curl_ = nullptr;
  bool initialised_ = false;
};

}  // namespace

std::unique_ptr<FtpClient> MakeFtpClient(DiagLog& log, std::chrono::seconds timeout) {
  return std::make_unique<CurlFtp>(log, timeout);
}

}  // namespace valico
