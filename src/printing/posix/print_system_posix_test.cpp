#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>
#include <future>

#include "platform/serial_port.h"
#include "platform/testing/loopback_port.h"
#include "platform/testing/recording_log.h"
#include "platform/testing/temp_folder.h"
#include "printing/escpos_encoder.h"
#include "printing/ops.h"
#include "printing/print_system.h"

namespace valico {
namespace {

using namespace std::chrono_literals;
using namespace ops;

// Sets a pseudo-terminal's line raw, as a printer's device passes bytes.
void MakeRaw(const std::string& device) {
  int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY);
  termios t{};
  ::tcgetattr(fd, &t);
  ::cfmakeraw(&t);
  ::tcsetattr(fd, TCSANOW, &t);
  ::close(fd);
}

// Printers declared in _Stampanti.ini, one of each output, with a printer at the far end of a
// serial line (COM7), which is also the character device of two of them.
TEST(PrintSystemPosixTest, DeclaredPrintersAreListedAndEachDeliversThroughItsOutputOrSaysWhyNot) {
  testing::TempFolder home;
  std::string why;
  auto far = testing::LoopbackPort::Create(&why);
  ASSERT_TRUE(far) << why;
  MakeRaw(far->device());
  home.Write("rotolo.bin", "");
  ASSERT_EQ(::mkfifo((home / "pieno").c_str(), 0600), 0);
  int fifo_reader = ::open((home / "pieno").c_str(), O_RDONLY | O_NONBLOCK);  // never reads
  const std::string device = far->device();
  home.Write("_Stampanti.ini",
             "[File]\nPorta=LPT1:\nUscita=escpos:rotolo.bin\n"
             "[Seriale]\nPorta=COM7:\nUscita=escpos:COM7,19200,N,8,1\nPredefinita=-1\n"
             "[Vecchia]\nPorta=COM8:\nUscita=escpos:COM7\nChiediStato=0\nAttesa=30\n"
             "[Foglio]\nPorta=Ne01:\nUscita=anteprima:Anteprime\n[Muta]\nPorta=COM4:\n"
             "[Chiusa]\nPorta=Ne02:\nUscita=anteprima:/proc/valico-nessuna\n"
             "[Senza carta]\nUscita=escpos:COM7\n[Zitta]\nUscita=escpos:com7\n"
             "[Tubo]\nUscita=escpos:pieno\n[Sparita]\nUscita=escpos:/dev/usb/valico-lp9\n"
             "[Dispositivo]\nUscita=escpos:" +
                 device +
                 "\n[Dispositivo muto]\nChiediStato=0\n"
                 "Uscita=escpos:" +
                 device + "\n");
  testing::RecordingLog log;
  auto ports = MakeNativeSerialPorts({{7, device}}, log, kSerialWriteBound);
  auto system = MakePrintSystem({home.path(), &log, ports.get(), 1s, ""});

  std::vector<PrinterInfo> list;
  std::string err;
  ASSERT_TRUE(system->ListPrinters(&list, &err)) << err;
  ASSERT_GE(list.size(), 6u);
  EXPECT_EQ(std::vector<PrinterInfo>(list.begin(), list.begin() + 6),
            (std::vector<PrinterInfo>{{"File", "LPT1:"},
                                      {"Seriale", "COM7:"},
                                      {"Vecchia", "COM8:"},
                                      {"Foglio", "Ne01:"},
                                      {"Muta", "COM4:"},
                                      {"Chiusa", "Ne02:"}}));
  EXPECT_EQ(system->DefaultPrinter(), "Seriale");
  EXPECT_EQ(system->QueueSettings("Vecchia").wait, std::chrono::minutes(30));
  EXPECT_EQ(system->QueueSettings("Seriale").wait, std::nullopt) << "the program's wait";

  enum Line { kNothing, kDocument, kAsked };  // what the serial line receives
  struct {
    const char* printer;
    Line line;
    const char* answer;  // of the printer at the far end; null: none
    Delivery status;
    std::string detail;  // "#": the document's size in bytes
    std::size_t size = 10;
  } rows[] = {
      {"File", kNothing, nullptr, Delivery::kHandedOver, "# bytes to " + home / "rotolo.bin"},
      {"Seriale", kAsked, "\x12\x12", Delivery::kPrinted,
       "# bytes to COM7,19200,N,8,1, the printer answered online with paper"},
      {"Vecchia", kDocument, nullptr, Delivery::kHandedOver, "# bytes to COM7"},
      {"Foglio", kNothing, nullptr, Delivery::kPrinted,
       "preview " + home / "Anteprime/0001-Foglio."},
      {"Muta", kNothing, nullptr, Delivery::kFailed, "the printer has no output (Uscita=)"},
      {"Chiusa", kNothing, nullptr, Delivery::kFailed,
       "cannot create the folder /proc/valico-nessuna"},
      {"Ignota", kNothing, nullptr, Delivery::kFailed,
       "printer \"Ignota\" is not declared in _Stampanti.ini"},
      {"Senza carta", kAsked, "\x12\x72", Delivery::kFailed, "COM7 is out of paper"},
      {"Zitta", kAsked, nullptr, Delivery::kFailed,
       "com7 did not answer the status question in 1000 ms"},
      {"Dispositivo", kAsked, "\x12\x12", Delivery::kPrinted,
       "the printer answered online with paper"},
      {"Dispositivo muto", kDocument, nullptr, Delivery::kHandedOver, "# bytes to " + device},
      {"Tubo", kNothing, nullptr, Delivery::kFailed, " of # bytes in 1000 ms", 200000},
      {"Sparita", kNothing, nullptr, Delivery::kFailed,
       "cannot open /dev/usb/valico-lp9: No such file or directory"},
  };
  for (const auto& row : rows) {
    std::vector<PrinterOp> ops = {FontName("FontB11"), Print(std::string(row.size, '\x80')),
                                  FontName("FontControl"), Print("P")};
    std::string bytes = EncodeEscPos({"", ops}, PrinterProfile{});
    std::string on_line = row.line == kNothing ? "" : bytes;
    if (row.line == kAsked) on_line += "\x10\x04\x01\x10\x04\x04";
    std::future<std::string> printer = std::async(std::launch::async, [&] {
      std::string got = far->Read(on_line.size(), on_line.empty() ? 0s : 3s);
      if (row.answer) far->Write(row.answer);
      return got;
    });
    std::string detail = row.detail;
    if (std::size_t at = detail.find('#'); at != std::string::npos)
      detail.replace(at, 1, std::to_string(bytes.size()));
    DeliveryResult r = system->Deliver({row.printer, ops}, {});
    EXPECT_EQ(r.status, row.status) << row.printer << ": " << r.detail;
    EXPECT_NE(r.detail.find(detail), std::string::npos) << row.printer << ": " << r.detail;
    EXPECT_EQ(printer.get(), on_line) << row.printer;
    if (row.printer == std::string("File")) {
      EXPECT_EQ(home.Read("rotolo.bin"), bytes);
    }
  }
  ::close(fifo_reader);
  EXPECT_FALSE(std::filesystem::exists("/dev/usb/valico-lp9")) << "a missing device is not made";
  EXPECT_EQ(log.Count("[Muta] no Uscita: the printer is listed but prints nothing"), 1)
      << "said once, however often the file is read";
}

}  // namespace
}  // namespace valico
