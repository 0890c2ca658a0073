// A 40-line receipt as ESC/POS bytes (what a tick spends on each receipt sent to a roll
// printer on Linux), beside a plain copy of the same bytes; the same receipt drawn as a
// preview PNG, beside writing a blank PNG of the same size; the receipt written to and read
// from a queue file, with and without a logo, beside a plain copy of the file's bytes; and
// _Stampanti.ini with thousands of printers parsed, and loaded from its file, beside a plain
// copy and scan of its bytes.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <filesystem>

#include "platform/testing/temp_folder.h"
#include "printing/declared_printers.h"
#include "printing/escpos_encoder.h"
#include "printing/ops.h"
#include "printing/page_layout.h"
#include "printing/posix/page_drawing_posix.h"
#include "printing/printer_declarations.h"
#include "printing/queue_file.h"
#include "settings/ini_store.h"

namespace valico {
namespace {

using namespace ops;

// A pre-bill of family 500: the opening control character, 38 lines in two fonts with bold
// and red, an EAN-13, and the cut.
Document Receipt() {
  Document d{"SAMSUNG SRP-500", {FontSize(9), FontName("FontControl"), Print("w")}};
  for (int i = 0; i < 38; ++i) {
    d.ops.insert(d.ops.end(),
                 {FontName(i % 5 == 0 ? "FontB17cpi" : "FontA15cpi"), FontSize(9),
                  Colour(i % 9 == 0 ? kRed : kBlack), Bold(i % 7 == 0),
                  Print("Pizza margherita x" + std::to_string(i) + "        7,50"), Bold(false)});
  }
  d.ops.insert(d.ops.end(), {FontSize(8.5), FontName("FontControl"), Print("r"), Print("x"),
                             FontSize(18), FontName("JAN13(EAN)"), Print("800123456789"),
                             FontSize(9), FontName("FontControl"), Print("P")});
  return d;
}

void BM_ReceiptToEscPos(benchmark::State& state) {
  Document d = Receipt();
  PrinterProfile profile;
  for (auto _ : state) benchmark::DoNotOptimize(EncodeEscPos(d, profile));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReceiptToEscPos);

void BM_CopyReceiptBytesBaseline(benchmark::State& state) {
  std::string bytes = EncodeEscPos(Receipt(), PrinterProfile{});
  for (auto _ : state) {
    std::string copy(bytes.data(), bytes.size());
    benchmark::DoNotOptimize(copy);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CopyReceiptBytesBaseline);

long MaxRssKb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

void BM_ReceiptToPreviewPng(benchmark::State& state) {
  testing::TempFolder folder;
  Document d = Receipt();
  static const long before = MaxRssKb();  // at the first of the benchmark's runs
  PageLayout page;
  for (auto _ : state) {
    page = LayoutPage(d, PrinterProfile{});
    std::string err;
    if (!DrawPagePng(page, 180, folder / "r.png", &err)) state.SkipWithError(err.c_str());
  }
  state.counters["png_bytes"] = static_cast<double>(folder.Read("r.png").size());
  state.counters["page_px"] = static_cast<double>(page.height);
  state.counters["rss_growth_kb"] = static_cast<double>(MaxRssKb() - before);
}
BENCHMARK(BM_ReceiptToPreviewPng)->Unit(benchmark::kMillisecond);

void BM_BlankPngOfTheSameSizeBaseline(benchmark::State& state) {
  testing::TempFolder folder;
  PageLayout page = LayoutPage(Receipt(), PrinterProfile{});
  for (auto _ : state) {
    PageLayout blank;
    blank.width = page.width;
    blank.height = page.height;
    std::string err;
    DrawPagePng(blank, 180, folder / "b.png", &err);
  }
}
BENCHMARK(BM_BlankPngOfTheSameSizeBaseline)->Unit(benchmark::kMillisecond);

// The receipt as the print queue keeps it; range(0) == 1 adds a 240x100 logo at its top.
QueueFile QueuedReceipt(bool logo) {
  Document d = Receipt();
  if (logo) {
    auto b = std::make_shared<Bitmap>();
    b->width = 240;
    b->height = 100;
    for (int i = 0; i < 240 * 100; ++i) {
      std::uint8_t v = (i / 240 + i % 240) % 40 < 10 ? 0 : 255;
      b->rgb.insert(b->rgb.end(), {v, v, v});
    }
    d.ops.insert(d.ops.begin(), {Position(0, 0), DrawBitmap(b), Position(0, 80)});
  }
  SourceFile source{"/var/lib/valico/CortBorea/c000123.txt", {2049, 131, 512, 17, 18, false}};
  return QueueFile{d.printer, 1712345678901, source, {d}};
}

void BM_QueueFileEncode(benchmark::State& state) {
  QueueFile job = QueuedReceipt(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(EncodeQueueFile(job));
  state.counters["file_bytes"] = static_cast<double>(EncodeQueueFile(job).size());
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_QueueFileEncode)->Arg(0)->Arg(1);

void BM_QueueFileDecode(benchmark::State& state) {
  std::string bytes = EncodeQueueFile(QueuedReceipt(state.range(0)));
  for (auto _ : state) {
    QueueFile job;
    std::string err;
    if (!DecodeQueueFile(bytes, &job, &err)) state.SkipWithError(err.c_str());
    benchmark::DoNotOptimize(job);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_QueueFileDecode)->Arg(0)->Arg(1);

void BM_CopyQueueFileBytesBaseline(benchmark::State& state) {
  std::string bytes = EncodeQueueFile(QueuedReceipt(state.range(0)));
  for (auto _ : state) {
    std::string copy(bytes.data(), bytes.size());
    benchmark::DoNotOptimize(copy);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CopyQueueFileBytesBaseline)->Arg(0)->Arg(1);
// _Stampanti.ini with `count` printers of 3 to 5 keys each, a few of them mistaken.
std::string Declarations(int count) {
  std::string text = "; printers of this till\r\n";
  for (int i = 0; i < count; ++i) {
    text += "[Printer " + std::to_string(i) + "]\r\nPorta=COM" + std::to_string(i % 9 + 1) +
            ":\r\nUscita=escpos:tcp://10.0." + std::to_string(i % 250) + ".1:9100\r\n";
    if (i % 2) text += "Dpi=203\r\n";
    if (i % 3) text += i % 100 ? "Larghezza=576\r\n" : "Larghezza=wide\r\n";
  }
  return text;
}

void BM_ParseStampanti(benchmark::State& state) {
  const std::string text = Declarations(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::vector<std::string> problems;
    benchmark::DoNotOptimize(ParsePrinterDeclarations(text, &problems));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
  state.counters["file_kb"] = static_cast<double>(text.size()) / 1024;
}
BENCHMARK(BM_ParseStampanti)->Arg(2000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The printing system's first look at the program folder: stat, read, parse.
void BM_DeclaredPrintersFirstLoad(benchmark::State& state) {
  testing::TempFolder folder;
  const std::string text = Declarations(static_cast<int>(state.range(0)));
  if (text.size() > IniStore::kMaxFileBytes) state.SkipWithError("the file would be refused");
  folder.Write(DeclaredPrinters::kFileName, text);
  for (auto _ : state) {
    DeclaredPrinters printers(folder.path(), nullptr);
    if (printers.Current()->printers().size() != static_cast<size_t>(state.range(0)))
      state.SkipWithError("printers missing");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_DeclaredPrintersFirstLoad)->Arg(10000)->Unit(benchmark::kMillisecond);

// Every later look at an unchanged file: one stat.
void BM_DeclaredPrintersUnchanged(benchmark::State& state) {
  testing::TempFolder folder;
  folder.Write(DeclaredPrinters::kFileName, Declarations(10000));
  DeclaredPrinters printers(folder.path(), nullptr);
  // Stamps an hour old: a fresher file is read at every look, as its stamps could not show
  // the next change.
  std::filesystem::path file = printers.path();
  std::filesystem::last_write_time(file,
                                   std::filesystem::last_write_time(file) - std::chrono::hours(1));
  printers.Current();
  for (auto _ : state) benchmark::DoNotOptimize(printers.Current());
  if (printers.reads() != 1) state.SkipWithError("the unchanged file was read again");
}
BENCHMARK(BM_DeclaredPrintersUnchanged);

void BM_CopyAndScanStampantiBaseline(benchmark::State& state) {
  const std::string text = Declarations(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::string copy(text.data(), text.size());
    size_t lines = 0;
    for (char c : copy) lines += c == '\n';
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_CopyAndScanStampantiBaseline)->Arg(2000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace valico
