#include <gtest/gtest.h>
#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/durable_files.h"
#include "platform/testing/metafile_records_win32.h"
#include "platform/testing/recording_log.h"
#include "platform/testing/temp_folder.h"
#include "platform/testing/wait_for.h"
#include "platform/testing/wine_printer_win32.h"
#include "printing/ops.h"
#include "printing/print_queue.h"
#include "printing/print_system.h"
#include "printing/unprinted_documents.h"

namespace valico {
namespace {

using testing::TempFolder;
using testing::WinePrinter;

using namespace ops;
using namespace std::chrono_literals;

Document Receipt(const std::string& printer, int lines) {
  Document doc{printer, {FontName("Courier New"), FontSize(10), Print("Caff\xe8 1,20 \x80")}};
  for (int i = 2; i <= lines; ++i) doc.ops.push_back(Print("Riga " + std::to_string(i)));
  return doc;
}

class PrintSystemWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(receipt_.error(), "");
    ASSERT_EQ(slip_.error(), "");
    options_.log = &log_;
    options_.print_to_folder = out_.path();
    system_ = MakePrintSystem(options_);
  }

  WinePrinter receipt_{"SAMSUNG SRP-350 Receipt", "COM4:"};
  WinePrinter slip_{"EPSON TM-U295 Slip", "COM3:"};
  TempFolder out_;
  testing::RecordingLog log_;
  PrintSystemOptions options_;
  std::unique_ptr<PrintSystem> system_;
};

TEST_F(PrintSystemWin32Test, ListsTheSpoolersPrintersWithTheirPortsAndTheDefault) {
  std::vector<PrinterInfo> list;
  std::string err;
  ASSERT_TRUE(system_->ListPrinters(&list, &err)) << err;
  for (const PrinterInfo& p : {PrinterInfo{"SAMSUNG SRP-350 Receipt", "COM4:"},
                               PrinterInfo{"EPSON TM-U295 Slip", "COM3:"}})
    EXPECT_NE(std::find(list.begin(), list.end(), p), list.end()) << p.device;

  for (WinePrinter* p : {&receipt_, &slip_}) {
    ASSERT_TRUE(p->MakeDefault());
    EXPECT_EQ(system_->DefaultPrinter(), p->device());
  }
}

TEST_F(PrintSystemWin32Test, ADocumentThatCannotBePrintedFailsWithTheReason) {
  DeliveryResult r = system_->Deliver(Receipt("Stampante che non c'\xe8", 1), {});
  EXPECT_EQ(r.status, Delivery::kFailed);
  EXPECT_EQ(r.detail.rfind("cannot open the printer \"Stampante che non c'\xe8\": ", 0), 0u)
      << r.detail;

  // A picture that cannot be printed is left out, and the log says so; the text prints.
  Document doc = Receipt("SAMSUNG SRP-350 Receipt", 1);
  doc.ops.push_back(DrawBitmap(nullptr));
  r = system_->Deliver(doc, {});
  EXPECT_EQ(r.status, Delivery::kPrinted) << r.detail;
  EXPECT_EQ(r.detail.rfind("spooler job ", 0), 0u) << r.detail;
  EXPECT_TRUE(log_.Contains("printer \"SAMSUNG SRP-350 Receipt\": a bitmap operation without"));
}

TEST_F(PrintSystemWin32Test, ADeliveryPastItsBoundFailsWithTheBoundAsTheReason) {
  // Wine runs a port that starts with "|" as a command fed the job: this printer holds every
  // job for a second, then refuses it.
  WinePrinter slow{"Stampante lenta", "|cat >/dev/null; sleep 1; exit 1"};
  ASSERT_EQ(slow.error(), "");
  PrintSystemOptions options;
  options.write_bound = std::chrono::milliseconds(200);
  DeliveryResult r = MakePrintSystem(options)->Deliver(Receipt(slow.device(), 1), {});
  EXPECT_EQ(r.status, Delivery::kFailed);
  EXPECT_EQ(r.detail.rfind("the printer \"Stampante lenta\" did not take the document within "
                           "200 ms; ",
                           0),
            0u)
      << r.detail;
  EXPECT_NE(r.detail.find("spooler job "), std::string::npos) << r.detail;
}

// The names of the files in a folder and its subfolders, sorted.
std::vector<std::string> Files(const std::string& folder) {
  std::vector<std::string> files;
  for (const auto& e : std::filesystem::recursive_directory_iterator(folder))
    if (e.is_regular_file()) files.push_back(e.path().filename().string());
  std::sort(files.begin(), files.end());
  return files;
}

TEST_F(PrintSystemWin32Test, TheQueueDeliversThroughGdiInOrderAndAStopLeavesAHeldDocumentQueued) {
  {
    // A receipt of two documents, the first of 100 lines: two pages of Wine's A4.
    TempFolder home;
    PrintQueue queue(*system_, log_, {home.path()});
    queue.Start();
    const std::string printer = "SAMSUNG SRP-350 Receipt";
    SubmitResult r =
        queue.Submit({Receipt(printer, 100), Document{printer, {Print("Totale 12,50")}}}, nullptr);
    ASSERT_EQ(r.status, Submitted::kQueued) << r.detail;
    ASSERT_TRUE(queue.WaitUntilIdle(60s));

    ASSERT_EQ(Files(home.path() + "\\CodaStampa"), std::vector<std::string>{});
    std::vector<std::string> jobs = Files(out_.path());
    ASSERT_EQ(jobs, (std::vector<std::string>{"000001 SAMSUNG SRP-350 Receipt.prn",
                                              "000002 SAMSUNG SRP-350 Receipt.prn"}));
    std::string first = out_.Read(jobs[0]);
    EXPECT_NE(first.find("%%Title: Valico"), std::string::npos);
    EXPECT_NE(first.find("%%Pages: 2"), std::string::npos);
    std::string text = testing::WinePostScriptText(first);
    EXPECT_EQ(text.substr(0, 12), "Caff\xe8 1,20 \x80");
    EXPECT_EQ(text.substr(text.size() - 8), "Riga 100");
    EXPECT_EQ(testing::WinePostScriptText(out_.Read(jobs[1])), "Totale 12,50");
    EXPECT_EQ(log_.Count("/0000000001 printed (spooler job "), 2);
    EXPECT_TRUE(log_.Contains("document 2 of 2 of job ")) << ::testing::PrintToString(log_.lines());
  }

  // A printer that takes the job and holds it until it is told to give up (at most 30 s). Its
  // signals go through a folder that Wine's Z: drive shows as /tmp.
  TempFolder signals(std::filesystem::path("Z:\\tmp"));
  const std::string in = "/tmp/" + std::filesystem::path(signals.path()).filename().string() + "/";
  WinePrinter held{"Stampante ferma", "|cat >" + in + "held.ps; for i in $(seq 600); do [ -e " +
                                          in + "giveup ] && break; sleep 0.05; done; exit 1"};
  ASSERT_EQ(held.error(), "");
  PrintSystemOptions options;  // no print_to_folder: the port takes the job
  options.log = &log_;
  std::unique_ptr<PrintSystem> spooler = MakePrintSystem(options);
  TempFolder home;
  PrintQueue queue(*spooler, log_, {home.path()});
  queue.Submit({Document{held.device(), {Print("Conto 7")}}}, nullptr);
  EXPECT_TRUE(testing::WaitFor(
      [&] { return signals.Read("held.ps").find("%%EOF") != std::string::npos; }, 30s));
  std::thread stopping([&] { queue.Stop(); });
  EXPECT_TRUE(testing::WaitFor(
      [&] { return log_.Contains("Valico is stopping during the delivery of spooler job "); },
      30s));
  signals.Write("giveup", "");
  stopping.join();
  EXPECT_EQ(Files(home.path() + "\\CodaStampa"),
            (std::vector<std::string>{"0000000001.job", "0000000001.progress"}));
  EXPECT_FALSE(log_.Contains("\"Stampante ferma\": document 1 of 1 of job 0000000001 printed"));
  EXPECT_FALSE(log_.Contains("not printed"));
}

TEST_F(PrintSystemWin32Test, ANotPrintedDocumentIsKeptAsJobTraceAndMetafileAsWideAsTheRoll) {
  Document doc = Receipt("EPSON TM-U295 Slip", 1);
  doc.ops.push_back(Print(std::string("a\0\"b\"", 5)));
  TempFolder home;
  // A program folder named in Windows-1252.
  std::string folder = home.path() + "\\Caff\xe8\\NonStampati";
  UnprintedDocuments unprinted(folder, system_.get(), &log_);
  std::string job, err;
  for (int i = 0; i < 2; ++i)
    ASSERT_TRUE(unprinted.Keep(doc, 0, "carta finita", &job, &err)) << err;
  const std::string base = folder + "\\0002-EPSON_TM-U295_Slip";
  EXPECT_EQ(job, base + ".job");
  std::vector<std::string> names;
  ASSERT_TRUE(ListNativeFolder(folder, false, &names, &err)) << err;
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{
                       "0001-EPSON_TM-U295_Slip.emf", "0001-EPSON_TM-U295_Slip.job",
                       "0001-EPSON_TM-U295_Slip.txt", "0002-EPSON_TM-U295_Slip.emf",
                       "0002-EPSON_TM-U295_Slip.job", "0002-EPSON_TM-U295_Slip.txt"}));
  const std::string ascii = home.path();
  std::wstring wide(ascii.begin(), ascii.end());
  EXPECT_NE(::GetFileAttributesW((wide + L"\\Caff\u00e8\\NonStampati").c_str()),
            INVALID_FILE_ATTRIBUTES);

  // The trace: the reason, then one line per operation, texts with their bytes.
  std::ifstream in(base + ".txt", std::ios::binary);
  std::string trace((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(trace.rfind("Non stampato: carta finita\n", 0), 0u) << trace;
  EXPECT_EQ(std::count(trace.begin(), trace.end(), '\n'), 2 + 4);
  EXPECT_NE(trace.find("Caff\xe8 1,20 \x80"), std::string::npos);

  HENHMETAFILE emf = ::GetEnhMetaFileA((base + ".emf").c_str());
  ASSERT_NE(emf, nullptr);
  testing::MetafileRecords got = testing::ReadMetafile(emf);
  ::DeleteEnhMetaFile(emf);
  // A white page 512 dots at 180 dpi wide: 2.84 inches, 273 pixels of the metafile's 96 dpi.
  EXPECT_EQ(got.bounds.right - got.bounds.left + 1, 273);
  ASSERT_EQ(got.texts.size(), 2u);
  EXPECT_NE(got.texts[1].text.find(L"\"b\""), std::wstring::npos);
}

}  // namespace
}  // namespace valico
