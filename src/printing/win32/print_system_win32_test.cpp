#include <gtest/gtest.h>
#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/testing/metafile_records_win32.h"
#include "platform/testing/recording_log.h"
#include "platform/testing/temp_folder.h"
#include "platform/testing/wine_printer_win32.h"
#include "printing/ops.h"
#include "printing/preview.h"
#include "printing/print_system.h"

namespace valico {
namespace {

using testing::TempFolder;
using testing::WinePrinter;

using namespace ops;

Document Receipt(const std::string& printer, int lines) {
  Document doc{printer, {FontName("Courier New"), FontSize(10), Print("Caff\xe8 1,20 \x80")}};
  for (int i = 2; i <= lines; ++i) doc.ops.push_back(Print("Riga " + std::to_string(i)));
  return doc;
}

// The spooler's own list, in its order, as level 2 gives it.
std::vector<PrinterInfo> SpoolerList() {
  DWORD need = 0, count = 0;
  ::EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, nullptr, 0, &need,
                  &count);
  std::vector<BYTE> buf(need);
  ::EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, buf.data(), need,
                  &need, &count);
  std::vector<PrinterInfo> list;
  const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(buf.data());
  for (DWORD i = 0; i < count; ++i) list.push_back({info[i].pPrinterName, info[i].pPortName});
  return list;
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
  EXPECT_EQ(list, SpoolerList());
  for (const PrinterInfo& p : {PrinterInfo{"SAMSUNG SRP-350 Receipt", "COM4:"},
                               PrinterInfo{"EPSON TM-U295 Slip", "COM3:"}})
    EXPECT_NE(std::find(list.begin(), list.end(), p), list.end()) << p.device;

  for (WinePrinter* p : {&receipt_, &slip_}) {
    ASSERT_TRUE(p->MakeDefault());
    EXPECT_EQ(system_->DefaultPrinter(), p->device());
  }
}

TEST_F(PrintSystemWin32Test, PrintsADocumentAsOneJobOfPagesHoldingItsText) {
  // 10 pt lines on Wine's A4 page: 100 of them take two pages.
  std::string err;
  ASSERT_TRUE(system_->Print(Receipt("SAMSUNG SRP-350 Receipt", 100), &err)) << err;

  std::vector<std::string> jobs;
  for (const auto& e : std::filesystem::directory_iterator(out_.path()))
    jobs.push_back(e.path().filename().string());
  ASSERT_EQ(jobs, std::vector<std::string>{"000001 SAMSUNG SRP-350 Receipt.prn"});
  std::string ps = out_.Read(jobs[0]);
  EXPECT_NE(ps.find("%%Title: Valico"), std::string::npos);
  EXPECT_NE(ps.find("%%Pages: 2"), std::string::npos);
  std::string text = testing::WinePostScriptText(ps);
  EXPECT_EQ(text.substr(0, 12), "Caff\xe8 1,20 \x80");
  EXPECT_EQ(text.substr(text.size() - 8), "Riga 100");
  EXPECT_TRUE(log_.lines().empty());
}

TEST_F(PrintSystemWin32Test, ADocumentThatCannotBePrintedFailsWithTheReason) {
  std::string err;
  EXPECT_FALSE(system_->Print(Receipt("Stampante che non c'\xe8", 1), &err));
  EXPECT_NE(err.find("cannot open the printer \"Stampante che non c'\xe8\""), std::string::npos)
      << err;

  // A picture that cannot be printed is left out, and the log says so; the text prints.
  Document doc = Receipt("SAMSUNG SRP-350 Receipt", 1);
  doc.ops.push_back(DrawBitmap(nullptr));
  EXPECT_TRUE(system_->Print(doc, &err)) << err;
  EXPECT_TRUE(log_.Contains("printer \"SAMSUNG SRP-350 Receipt\": a bitmap operation without"));
}

TEST_F(PrintSystemWin32Test, ADeliveryReturnsAtItsBoundAndReportsThatItMayStillPrint) {
  options_.write_bound = std::chrono::milliseconds(0);  // no spooler answers that fast
  std::string err;
  EXPECT_FALSE(MakePrintSystem(options_)->Print(Receipt("SAMSUNG SRP-350 Receipt", 1), &err));
  const std::string late =
      "the printer \"SAMSUNG SRP-350 Receipt\" did not take the document within 0 ms; ";
  ASSERT_EQ(err.rfind(late, 0), 0u) << err;
  // Mostly the spooler has not numbered the job yet. On a busy machine it may have: the job
  // is then cancelled, or the message says why it could not be and that it may still print.
  std::string outcome = err.substr(late.size());
  EXPECT_TRUE(outcome.rfind("it may still print", 0) == 0 ||
              outcome == "its print job was cancelled")
      << err;
  // The job goes on by itself; wait for it, so that it does not outlive the printer.
  std::string job = out_ / "000001 SAMSUNG SRP-350 Receipt.prn";
  for (int i = 0; i < 200 && out_.Read(job).find("%%EOF") == std::string::npos; ++i) ::Sleep(50);
}

TEST_F(PrintSystemWin32Test, KeepsADocumentAsANumberedMetafileAndTraceAsWideAsTheRoll) {
  Document doc = Receipt("EPSON TM-U295 Slip", 1);
  doc.ops.push_back(Print(std::string("a\0\"b\"", 5)));
  TempFolder previews;
  // A folder named in Windows-1252, as the program folder may be.
  std::string folder = previews.path() + "\\Non stampati \xe8";
  std::vector<std::string> first, second;
  std::string err;
  ASSERT_TRUE(system_->KeepAsPreview(doc, folder, &first, &err)) << err;
  ASSERT_TRUE(system_->KeepAsPreview(doc, folder, &second, &err)) << err;
  std::string stem = folder + "\\000001 EPSON TM-U295 Slip";
  EXPECT_EQ(first, std::vector<std::string>({stem + ".txt", stem + ".emf"}));
  EXPECT_EQ(second[1], folder + "\\000002 EPSON TM-U295 Slip.emf");
  std::string base = previews.path();  // ASCII
  std::wstring wide(base.begin(), base.end());
  EXPECT_NE(::GetFileAttributesW((wide + L"\\Non stampati \u00e8").c_str()),
            INVALID_FILE_ATTRIBUTES);

  // The trace: one line per operation, texts with their bytes.
  std::ifstream in(first[0], std::ios::binary);
  std::string trace((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(std::count(trace.begin(), trace.end(), '\n'), 1 + 4);
  EXPECT_NE(trace.find("EPSON TM-U295 Slip"), std::string::npos);
  EXPECT_NE(trace.find("Caff\xe8 1,20 \x80"), std::string::npos);

  HENHMETAFILE emf = ::GetEnhMetaFileA(first[1].c_str());
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
