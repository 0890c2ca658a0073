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
             "[Vecchia]\nPorta=COM8:\nUscita=escpos:COM7\nChiediStato=0\nAttesa=30\n"
             "[Foglio]\nPorta=Ne01:\nUscita=anteprima:Anteprime\n");
  testing::RecordingLog log;
  auto ports = MakeNativeSerialPorts({{7, far->device()}}, log, kSerialWriteBound);
  auto system = MakePrintSystem({home.path(), &log, ports.get(), 5s, ""});

  std::vector<PrinterInfo> list;
  std::string err;
  ASSERT_TRUE(system->ListPrinters(&list, &err)) << err;
  EXPECT_EQ(
      list,
      (std::vector<PrinterInfo>{
          {"File", "LPT1:"}, {"Seriale", "COM7:"}, {"Vecchia", "COM8:"}, {"Foglio", "Ne01:"}}));
  EXPECT_EQ(system->DefaultPrinter(), "Seriale");
  EXPECT_EQ(system->QueueSettings("Vecchia").wait, std::chrono::minutes(30));
  EXPECT_EQ(system->QueueSettings("Seriale").wait, std::nullopt) << "the program's wait";

  std::vector<PrinterOp> ops = {FontName("FontB11"), Print("Conto \x80 1,20"),
                                FontName("FontControl"), Print("P")};
  std::string bytes = EncodeEscPos({"", ops}, PrinterProfile{});
  std::string n = std::to_string(bytes.size());
  const std::string questions = "\x10\x04\x01\x10\x04\x04";
  struct {
    const char* printer;
    const char* answer;  // of the printer on the serial line; null: it is not there
    Delivery status;
    std::string detail;
    std::string on_line;  // what the serial line received
  } rows[] = {
      {"File", nullptr, Delivery::kHandedOver, n + " bytes to " + home / "rotolo.bin", ""},
      {"Seriale", "\x12\x12", Delivery::kPrinted,
       n + " bytes to COM7,19200,N,8,1, the printer answered online with paper", bytes + questions},
      {"Vecchia", nullptr, Delivery::kHandedOver, n + " bytes to COM7", bytes},
      {"Foglio", nullptr, Delivery::kPrinted, "preview " + home / "Anteprime/0001-Foglio.", ""},
  };
  for (const auto& row : rows) {
    std::future<std::string> printer = std::async(std::launch::async, [&] {
      std::string got = far->Read(row.on_line.size(), row.on_line.empty() ? 0s : 3s);
      if (row.answer) far->Write(row.answer);
      return got;
    });
    DeliveryResult r = system->Deliver({row.printer, ops}, {});
    EXPECT_EQ(r.status, row.status) << row.printer << ": " << r.detail;
    EXPECT_EQ(r.detail.substr(0, row.detail.size()), row.detail) << row.printer;
    EXPECT_EQ(printer.get(), row.on_line) << row.printer;
  }
  EXPECT_EQ(home.Read("rotolo.bin"), bytes);
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
  EXPECT_EQ(log.Count("[Muta] no Uscita: the printer is listed but prints nothing"), 1)
      << "said once, however often the file is read";
}

}  // namespace
}  // namespace valico
