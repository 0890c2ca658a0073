// A family-350 pre-bill through the spooler and GDI, on a printer installed in the Wine prefix.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>

#include "platform/testing/metafile_records_win32.h"
#include "platform/testing/test_platform.h"
#include "platform/testing/wine_printer_win32.h"
#include "prebill/prebill_renderer.h"
#include "printing/testing/bitmap_files.h"
#include "printing/testing/postscript_text.h"

namespace valico {
namespace {

using testing::TempFolder;

// The machine's printing system, which also keeps each document it prints as a metafile
// preview drawn by the same GDI renderer: the metafile keeps the face names asked for, which
// the PostScript of Wine's driver replaces with its own fonts.
class PrintAndKeep : public PrintSystem {
 public:
  PrintAndKeep(PrintSystem& real, std::string folder) : real_(real), folder_(std::move(folder)) {}
  bool ListPrinters(std::vector<PrinterInfo>* out, std::string* err) override {
    return real_.ListPrinters(out, err);
  }
  std::string DefaultPrinter() override { return real_.DefaultPrinter(); }
  bool Print(const Document& doc, std::string* err) override {
    std::vector<std::string> files;
    return real_.Print(doc, err) && real_.KeepAsPreview(doc, folder_, &files, err);
  }
  bool KeepAsPreview(const Document& doc, const std::string& folder,
                     std::vector<std::string>* files, std::string* err) override {
    return real_.KeepAsPreview(doc, folder, files, err);
  }

 private:
  PrintSystem& real_;
  std::string folder_;
};

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

TEST(PrebillRendererWin32Test, Family350PrintsThroughGdiInTheDriversFonts) {
  testing::WinePrinter printer("SAMSUNG SRP-350 Receipt", "COM4:");
  ASSERT_EQ(printer.error(), "");
  testing::TestPlatform t;
  TempFolder jobs, previews;
  PrintSystemOptions options;
  options.log = &t.log;
  options.print_to_folder = jobs.path();
  std::unique_ptr<PrintSystem> spooler = MakePrintSystem(options);
  PrintAndKeep system(*spooler, previews.path());
  Printers printers(system, t.log, t.folder / "NonStampati");

  Config cfg;
  cfg.DirBorea = "C:\\CALDERA";
  cfg.Cort_Com = TypedValue::FromInt(4);
  cfg.Cort_Logo = true;
  t.folder.Write("drive_c/CALDERA/LogoCassa.bmp", testing::BitmapFile(3, 2));
  t.folder.Write("CortIN/job.txt", "Coperti 2#0#9#0\r\n8001234567897#0#9#13\r\n#1\r\n");
  InstalledPrinterPrebill(cfg, t.regional, t.files, printers, t.dialogs, t.log)
      .StampaCortSamsung(t.InFolder("CortIN\\job.txt"));
  EXPECT_FALSE(t.folder.Has("CortIN/job.txt")) << "family 350 deletes its job";

  // Two print jobs: the logo, then the receipt with the control characters printed as text.
  std::vector<std::string> printed;
  for (const auto& e : std::filesystem::directory_iterator(jobs.path()))
    printed.push_back(e.path().filename().string());
  std::sort(printed.begin(), printed.end());
  ASSERT_EQ(printed, (std::vector<std::string>{"000001 SAMSUNG SRP-350 Receipt.prn",
                                               "000002 SAMSUNG SRP-350 Receipt.prn"}));
  EXPECT_EQ(testing::GlyphText(jobs.Read(printed[1])), "Coperti 2rx8001234567897  P");

  // The metafiles of the same two documents: the picture at 96 pixels per inch, and each text
  // in the face the driver knows.
  HENHMETAFILE emf = ::GetEnhMetaFileA((previews / "000001 SAMSUNG SRP-350 Receipt.emf").c_str());
  ASSERT_NE(emf, nullptr);
  testing::MetafileRecords logo = testing::ReadMetafile(emf);
  ::DeleteEnhMetaFile(emf);
  ASSERT_EQ(logo.bitmaps.size(), 1u);
  EXPECT_EQ(logo.bitmaps[0].width, 3);

  emf = ::GetEnhMetaFileA((previews / "000002 SAMSUNG SRP-350 Receipt.emf").c_str());
  ASSERT_NE(emf, nullptr);
  testing::MetafileRecords receipt = testing::ReadMetafile(emf);
  ::DeleteEnhMetaFile(emf);
  std::vector<std::string> texts;
  for (const auto& x : receipt.texts)
    texts.push_back(Narrow(x.font.lfFaceName) + ": " + Narrow(x.text));
  EXPECT_EQ(texts,
            (std::vector<std::string>{"FontA1x1: Coperti 2", "FontControl: r", "FontControl: x",
                                      "JAN13(EAN): 8001234567897",
                                      "FontControl:  ", "FontControl:  ", "FontControl: P"}));
}

}  // namespace
}  // namespace valico
