#include <gtest/gtest.h>

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

TEST(PrintSystemPosixTest, DeclaredPrintersAreListedAndEachDeliversThroughItsOutput) {
  testing::TempFolder home;
  std::string why;
  auto far = testing::LoopbackPort::Create(&why);
  ASSERT_TRUE(far) << why;
  home.Write("rotolo.bin", "");
  home.Write("_Stampanti.ini",
             "[File]\nPorta=LPT1:\nUscita=escpos:rotolo.bin\n"
             "[Seriale]\nPorta=COM7:\nUscita=escpos:COM7,19200,N,8,1\nPredefinita=-1\n"
             "[Foglio]\nPorta=Ne01:\nUscita=anteprima:Anteprime\n");
  testing::RecordingLog log;
  auto ports = MakeNativeSerialPorts({{7, far->device()}}, log, kSerialWriteBound);
  auto system = MakePrintSystem({home.path(), &log, ports.get(), 5s, ""});

  std::vector<PrinterInfo> list;
  std::string err;
  ASSERT_TRUE(system->ListPrinters(&list, &err)) << err;
  EXPECT_EQ(list, (std::vector<PrinterInfo>{
                      {"File", "LPT1:"}, {"Seriale", "COM7:"}, {"Foglio", "Ne01:"}}));
  EXPECT_EQ(system->DefaultPrinter(), "Seriale");

  std::vector<PrinterOp> ops = {FontName("FontB11"), Print("Conto \x80 1,20"),
                                FontName("FontControl"), Print("P")};
  std::string bytes = EncodeEscPos({"", ops}, PrinterProfile{});
  std::string n = std::to_string(bytes.size());
  // The serial printer reads the document and the status questions, and answers them.
  auto printer = std::async(std::launch::async, [&] {
    std::string got = far->Read(bytes.size() + 6);
    far->Write("\x12\x12");
    return got;
  });
  struct {
    const char* printer;
    Delivery status;
    std::string detail;
  } rows[] = {
      {"File", Delivery::kHandedOver, n + " bytes to " + home / "rotolo.bin"},
      {"Seriale", Delivery::kPrinted,
       n + " bytes to COM7,19200,N,8,1, the printer answered online with paper"},
      {"Foglio", Delivery::kPrinted, "preview " + home / "Anteprime/0001-Foglio."},
  };
  for (const auto& row : rows) {
    DeliveryResult r = system->Deliver({row.printer, ops}, {});
    EXPECT_EQ(r.status, row.status) << row.printer << ": " << r.detail;
    EXPECT_EQ(r.detail.substr(0, row.detail.size()), row.detail) << row.printer;
  }
  EXPECT_EQ(home.Read("rotolo.bin"), bytes);
  EXPECT_EQ(printer.get(), bytes + "\x10\x04\x01\x10\x04\x04");
}

TEST(PrintSystemPosixTest, PrintersThatCannotPrintSayWhy) {
  testing::TempFolder home;
  home.Write("_Stampanti.ini",
             "[Muta]\nPorta=COM4:\n"
             "[Foglio]\nPorta=Ne01:\nUscita=anteprima:/proc/valico-nessuna\n");
  testing::RecordingLog log;
  auto system = MakePrintSystem({home.path(), &log, nullptr, 300ms, ""});
  struct {
    const char* printer;
    const char* reason;
  } cases[] = {
      {"Muta", "the printer has no output (Uscita=)"},
      {"Foglio", "cannot create the folder /proc/valico-nessuna"},
      {"Ignota", "printer \"Ignota\" is not declared in _Stampanti.ini"},
  };
  for (const auto& c : cases) {
    DeliveryResult r = system->Deliver({c.printer, {ops::Print("Conto")}}, {});
    EXPECT_EQ(r.status, Delivery::kFailed) << c.printer;
    EXPECT_NE(r.detail.find(c.reason), std::string::npos) << c.printer << ": " << r.detail;
  }
  int said = 0;
  for (const std::string& line : log.lines())
    said += line.find("[Muta] no Uscita: the printer is listed but prints nothing") !=
            std::string::npos;
  EXPECT_EQ(said, 1) << "said once, however often the file is read";
}

}  // namespace
}  // namespace valico
