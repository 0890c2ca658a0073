#include "printing/posix/cups_delivery_posix.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

#include "platform/testing/recording_log.h"
#include "platform/testing/temp_folder.h"
#include "platform/testing/wait_for.h"
#include "printing/ops.h"
#include "printing/print_system.h"
#include "printing/testing/private_cups_posix.h"

namespace valico {
namespace {

using namespace std::chrono_literals;

TEST(CupsDeliveryPosixTest, APdfOfTheDocumentReachesTheQueueAndAMissingQueueSaysWhy) {
  testing::TempFolder cups_dir, home;
  testing::PrivateCups cups(cups_dir);
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
  std::system(("pdftotext " + cups_dir / "out.pdf" + " " + cups_dir / "out.txt").c_str());
  std::string text = cups_dir.Read("out.txt");
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
