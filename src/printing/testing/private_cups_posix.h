#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/testing/temp_folder.h"
#include "platform/testing/wait_for.h"

extern char** environ;

namespace valico::testing {

inline int FreePort() {
  int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
  ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
  ::close(s);
  return ntohs(a.sin_port);
}

// A CUPS scheduler of its own in a temporary folder, on a free port of 127.0.0.1, with one
// PDF queue "Cassa" whose device is the file out.pdf.
class PrivateCups {
 public:
  explicit PrivateCups(const TempFolder& dir) : port_(FreePort()) {
    using namespace std::chrono_literals;
    std::string d = dir.path();
    dir.Write("cupsd.conf",
              "Listen 127.0.0.1:" + std::to_string(port_) +
                  "\nBrowsing No\nWebInterface No\nDefaultAuthType None\n"
                  "DefaultEncryption Never\n<Location />\nOrder allow,deny\nAllow from "
                  "127.0.0.1\n</Location>\n<Location /admin>\nOrder allow,deny\nAllow from "
                  "127.0.0.1\n</Location>\n<Policy default>\n<Limit All>\nOrder allow,deny\n"
                  "Allow from all\n</Limit>\n</Policy>\n");
    dir.Write("cups-files.conf", "ServerRoot " + d + "\nRequestRoot " + d + "/spool\nTempDir " + d +
                                     "/spool\nCacheDir " + d + "/cache\nStateDir " + d +
                                     "/state\nAccessLog " + d + "/access_log\nErrorLog " + d +
                                     "/error_log\nPageLog " + d + "/page_log\nPrintcap " + d +
                                     "/printcap\nFileDevice Yes\nCreateSelfSignedCerts no\n" +
                                     "SystemGroup " + (getuid() ? "nogroup" : "root") + "\n");
    // The smallest PPD whose filter passes a PDF through unchanged.
    dir.Write("queue.ppd",
              "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n"
              "*LanguageVersion: English\n*LanguageEncoding: ISOLatin1\n"
              "*PCFileName: \"VALICO.PPD\"\n*Manufacturer: \"Valico\"\n*Product: \"(Test)\"\n"
              "*ModelName: \"Valico PDF file\"\n*ShortNickName: \"Valico PDF file\"\n"
              "*NickName: \"Valico PDF file\"\n*PSVersion: \"(3010.000) 0\"\n"
              "*LanguageLevel: \"3\"\n*ColorDevice: True\n*DefaultColorSpace: RGB\n"
              "*FileSystem: False\n*Throughput: \"1\"\n*TTRasterizer: Type42\n"
              "*cupsFilter2: \"application/pdf application/vnd.cups-pdf 0 gziptoany\"\n"
              "*OpenUI *PageSize/Page Size: PickOne\n*DefaultPageSize: A4\n"
              "*PageSize A4/A4: \"<</PageSize[595 842]>>setpagedevice\"\n"
              "*CloseUI: *PageSize\n*DefaultImageableArea: A4\n"
              "*ImageableArea A4/A4: \"0 0 595 842\"\n*DefaultPaperDimension: A4\n"
              "*PaperDimension A4/A4: \"595 842\"\n");
    for (const char* sub : {"spool", "cache", "state"}) dir.Write(std::string(sub) + "/.keep", "");
    std::string conf = d + "/cupsd.conf", files = d + "/cups-files.conf";
    const char* argv[] = {"cupsd", "-f", "-c", conf.c_str(), "-s", files.c_str(), nullptr};
    if (posix_spawnp(&pid_, "cupsd", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
      pid_ = -1;
    // lpadmin fails until the scheduler listens.
    std::string add = "lpadmin -h 127.0.0.1:" + std::to_string(port_) + " -p Cassa -E -v file://" +
                      d + "/out.pdf -P " + d + "/queue.ppd 2>/dev/null";
    ready_ = pid_ > 0 && WaitFor([&] { return std::system(add.c_str()) == 0; }, 10s);
  }
  ~PrivateCups() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  bool ready() const { return ready_; }
  int port() const { return port_; }

 private:
  int port_;
  pid_t pid_ = -1;
  bool ready_ = false;
};

}  // namespace valico::testing
