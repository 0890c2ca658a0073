// A 40-line receipt as ESC/POS bytes (what a tick spends on each receipt sent to a roll
// printer on Linux), beside a plain copy of the same bytes; and the same receipt drawn as a
// preview PNG, beside writing a blank PNG of the same size; and the receipt written to and
// read from a queue file, with and without a logo, beside a plain copy of the file's bytes.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include "platform/testing/temp_folder.h"
#include "printing/escpos_encoder.h"
#include "printing/ops.h"
#include "printing/page_layout.h"
#include "printing/posix/page_drawing_posix.h"
#include "printing/queue_file.h"

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

}  // namespace
}  // namespace valico
