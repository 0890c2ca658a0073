#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "platform/serial_control.h"
#include "platform/testing/loopback_port.h"
#include "platform/testing/recording_log.h"
#include "platform/testing/temp_folder.h"
#include "printing/escpos_encoder.h"
#include "printing/ops.h"
#include "printing/printers.h"
#include "printing/testing/direct_printers.h"

namespace valico {
namespace {

using namespace std::chrono_literals;
using namespace ops;

// A raw network printer on 127.0.0.1: takes one connection and keeps what arrives until the
// sender closes it.
class NetworkPrinter {
 public:
  NetworkPrinter() {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(fd_, 1);
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    reader_ = std::thread([this] {
      int c = ::accept(fd_, nullptr, nullptr);
      char buf[4096];
      for (ssize_t n; (n = ::read(c, buf, sizeof buf)) > 0;) received_.append(buf, n);
      ::close(c);
    });
  }
  ~NetworkPrinter() {
    ::shutdown(fd_, SHUT_RDWR);
    if (reader_.joinable()) reader_.join();
    ::close(fd_);
  }
  int port() const { return port_; }
  // What arrived, once the sender has closed the connection.
  std::string Received() {
    reader_.join();
    return received_;
  }

 private:
  int fd_ = -1;
  int port_ = 0;
  std::thread reader_;
  std::string received_;
};

TEST(PrintSystemPosixTest, EscPosBytesArriveWholeAtADeviceFileASerialLineAndTheNetwork) {
  testing::TempFolder home;
  std::string why;
  auto far = testing::LoopbackPort::Create(&why);
  ASSERT_TRUE(far) << why;
  NetworkPrinter network;
  home.Write("rotolo.bin", "");
  home.Write("_Stampanti.ini",
             "[File]\nPorta=LPT1:\nUscita=escpos:rotolo.bin\n"
             "[Seriale]\nPorta=COM7:\nUscita=escpos:COM7,19200,N,8,1\nPredefinita=-1\n"
             "[Rete]\nPorta=IP_10.0.0.9:\nUscita=escpos:tcp://127.0.0.1:" +
                 std::to_string(network.port()) + "\n");
  testing::RecordingLog log;
  auto ports = MakeNativeSerialPorts({{7, far->device()}}, log, kSerialWriteBound);
  auto system = MakePrintSystem({home.path(), &log, ports.get(), 5s, ""});

  std::vector<PrinterInfo> list;
  std::string err;
  ASSERT_TRUE(system->ListPrinters(&list, &err)) << err;
  EXPECT_EQ(list, (std::vector<PrinterInfo>{
                      {"File", "LPT1:"}, {"Seriale", "COM7:"}, {"Rete", "IP_10.0.0.9:"}}));
  EXPECT_EQ(system->DefaultPrinter(), "Seriale");

  std::vector<PrinterOp> ops = {FontName("FontB11"), Print("Conto \x80 1,20"),
                                FontName("FontControl"), Print("P")};
  std::string bytes = EncodeEscPos({"", ops}, PrinterProfile{});
  for (const char* printer : {"File", "Seriale", "Rete"}) {
    DeliveryResult r = system->Deliver({printer, ops}, {});
    EXPECT_NE(r.status, Delivery::kFailed) << printer << ": " << r.detail;
  }
  EXPECT_EQ(home.Read("rotolo.bin"), bytes);
  EXPECT_EQ(far->Read(bytes.size()), bytes);
  EXPECT_EQ(network.Received(), bytes);
}

TEST(PrintSystemPosixTest, UndeliveredDocumentsSayWhyWithinTheBoundAndAreKept) {
  testing::TempFolder home;
  ASSERT_EQ(::mkfifo((home / "pieno").c_str(), 0600), 0);
  // A printer that never takes its bytes: the pipe's reader reads nothing.
  int reader = ::open((home / "pieno").c_str(), O_RDONLY | O_NONBLOCK);
  int closed_port = 0;
  {
    NetworkPrinter gone;
    closed_port = gone.port();
  }
  home.Write("_Stampanti.ini",
             "[Spenta]\nPorta=COM1:\nUscita=escpos:/dev/usb/valico-lp9\n"
             "[Piena]\nPorta=COM2:\nUscita=escpos:pieno\n"
             "[Chiusa]\nPorta=COM3:\nUscita=escpos:tcp://127.0.0.1:" +
                 std::to_string(closed_port) +
                 "\n[Muta]\nPorta=COM4:\n"
                 "[Foglio]\nPorta=Ne01:\nUscita=anteprima:/proc/valico-nessuna\n");
  testing::RecordingLog log;
  auto system = MakePrintSystem({home.path(), &log, nullptr, 300ms, ""});
  testing::DirectPrinters direct(*system, log, home.path());
  Printers& printers = direct.printers;
  struct {
    const char* printer;
    const char* reason;
  } cases[] = {
      {"Spenta", "cannot open /dev/usb/valico-lp9: No such file or directory"},
      {"Piena", "took no bytes in time"},
      {"Chiusa", "Connection refused"},
      {"Muta", "has no output (Uscita=)"},
      {"Foglio", "cannot create the folder /proc/valico-nessuna"},
      {"Ignota", "printer \"Ignota\" is not declared in _Stampanti.ini"},
  };
  // 128 KB of raster image: more than a pipe holds.
  auto black =
      std::make_shared<Bitmap>(Bitmap{512, 2000, std::vector<std::uint8_t>(512 * 2000 * 3)});
  for (const auto& c : cases) {
    printers.MakeCurrent(c.printer);
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(printers.Apply({Print("Conto"), DrawBitmap(black), EndDocument()}));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s) << c.printer;
    EXPECT_TRUE(log.Contains(c.reason)) << c.printer;
  }
  ::close(reader);
  int kept = 0;
  for (const auto& e : std::filesystem::directory_iterator(home / "NonStampati"))
    kept += e.path().extension() == ".png";
  EXPECT_EQ(kept, 6);
  int said = 0;
  for (const std::string& line : log.lines())
    said += line.find("[Muta] no Uscita: the printer is listed but prints nothing") !=
            std::string::npos;
  EXPECT_EQ(said, 1) << "said once, however often the file is read";
}

}  // namespace
}  // namespace valico
