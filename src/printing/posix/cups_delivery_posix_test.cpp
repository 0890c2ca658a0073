#include "printing/posix/cups_delivery_posix.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <thread>

#include "platform/testing/recording_log.h"
#include "platform/testing/temp_folder.h"
#include "platform/testing/wait_for.h"
#include "printing/ops.h"
#include "printing/print_system.h"

extern char** environ;

namespace valico {
namespace {

using namespace std::chrono_literals;

int FreePort() {
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

bool Accepts(int port) {
  int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<uint16_t>(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  ::close(s);
  return ok;
}

std::string Output(const std::string& command) {
  std::string out;
  if (FILE* p = ::popen(command.c_str(), "r")) {
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    ::pclose(p);
  }
  return out;
}

// A CUPS scheduler of its own in a temporary folder, on a free port of 127.0.0.1, with one
// PDF queue "Cassa" whose device is the file out.pdf.
class PrivateCups {
 public:
  explicit PrivateCups(const testing::TempFolder& dir) : port_(FreePort()) {
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
                                     "/error_log\nPageLog " + d +
                                     "/page_log\nFileDevice Yes\n"
                                     "Printcap " +
                                     d +
                                     "/printcap\nCreateSelfSignedCerts no\n"
                                     "SystemGroup " +
                                     (getuid() == 0 ? "root" : "nogroup") + "\n");
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
    ready_ =
        pid_ > 0 && testing::WaitFor([&] { return Accepts(port_); }, 10s) &&
        std::system(("lpadmin -h 127.0.0.1:" + std::to_string(port_) + " -p Cassa -E -v file://" +
                     d + "/out.pdf -P " + d + "/queue.ppd 2>/dev/null")
                        .c_str()) == 0;
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

TEST(CupsDeliveryPosixTest, APdfOfTheDocumentReachesTheQueueAndAMissingQueueSaysWhy) {
  testing::TempFolder cups_dir, home;
  PrivateCups cups(cups_dir);
  ASSERT_TRUE(cups.ready()) << cups_dir.Read("error_log");
  std::string server = "@127.0.0.1:" + std::to_string(cups.port());
  home.Write("_Stampanti.ini", "[Cassa]\nPorta=COM3:\nUscita=cups:Cassa" + server +
                                   "\n[Sparita]\nPorta=COM4:\nUscita=cups:Sparita" + server + "\n");
  testing::RecordingLog log;
  auto system = MakePrintSystem({home.path(), &log, nullptr, 5s, ""});

  using namespace ops;
  DeliveryResult r = system->Deliver(
      {"Cassa", {FontName("FontA11"), Print("Conto tavolo 5"), Bold(true), Print("Totale 11,50")}},
      {});
  ASSERT_EQ(r.status, Delivery::kPrinted) << r.detail << cups_dir.Read("error_log");
  EXPECT_EQ(r.detail, "CUPS job 1 on Cassa" + server);
  ASSERT_TRUE(testing::WaitFor([&] { return cups_dir.Read("out.pdf").size() > 100; }, 10s));
  std::string text = Output("pdftotext " + cups_dir / "out.pdf" + " -");
  EXPECT_NE(text.find("Conto tavolo 5"), std::string::npos) << text;
  EXPECT_NE(text.find("Totale 11,50"), std::string::npos) << text;

  r = system->Deliver({"Sparita", {Print("x")}}, {});
  EXPECT_EQ(r.status, Delivery::kFailed);
  EXPECT_NE(r.detail.find("CUPS queue Sparita on 127.0.0.1:" + std::to_string(cups.port()) +
                          " refused the job"),
            std::string::npos)
      << r.detail;
}

// A scheduler that takes the connection and never answers: the bound ends the wait, and a
// stop ends it before the bound.
TEST(CupsDeliveryPosixTest, TheBoundOrAStopEndsTheWaitForASilentScheduler) {
  int silent = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  ASSERT_EQ(::bind(silent, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  ::listen(silent, 4);  // connections complete, and nobody reads them
  ::getsockname(silent, reinterpret_cast<sockaddr*>(&a), &len);
  std::string where = "CUPS queue Cassa on 127.0.0.1:" + std::to_string(ntohs(a.sin_port));
  std::string queue = "Cassa@127.0.0.1:" + std::to_string(ntohs(a.sin_port));
  struct {
    std::chrono::milliseconds bound;
    bool stop;
    std::string detail;
  } rows[] = {
      {1s, false, where + " did not answer in 1000 ms"},
      {60s, true, "delivery to " + where + " stopped"},
  };
  for (const auto& row : rows) {
    std::stop_source stop;
    std::jthread stopper;
    if (row.stop)
      stopper = std::jthread([&] {
        std::this_thread::sleep_for(200ms);
        stop.request_stop();
      });
    auto start = std::chrono::steady_clock::now();
    int job = 0;
    std::string err;
    EXPECT_FALSE(SubmitPdfToCups(queue, "%PDF-1.4", "t", row.bound, stop.get_token(), &job, &err));
    if (row.stop) {
      EXPECT_LT(std::chrono::steady_clock::now() - start, row.bound) << "before the bound";
    }
    EXPECT_EQ(err, row.detail);
  }
  ::close(silent);
}

}  // namespace
}  // namespace valico
