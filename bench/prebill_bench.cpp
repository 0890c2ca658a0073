// A 40-line family-500 pre-bill from its job file to ESC/POS bytes (what a tick spends on a
// pre-bill for a roll printer on Linux, delivery aside), beside reading the same job file
// alone.
#include <benchmark/benchmark.h>

#include "core/text_lines.h"
#include "platform/testing/temp_folder.h"
#include "prebill/prebill_renderer.h"
#include "printing/escpos_encoder.h"
#include "printing/testing/direct_printers.h"

namespace valico {
namespace {

class QuietLog : public DiagLog {
 public:
  void Write(LogLevel, std::string_view) override {}
};

// One receipt printer on COM3:, whose documents become ESC/POS bytes and go nowhere.
class EscPosPrintSystem : public PrintSystem {
 public:
  bool ListPrinters(std::vector<PrinterInfo>* out, std::string*) override {
    *out = {{"SAMSUNG SRP-500", "COM3:"}};
    return true;
  }
  std::string DefaultPrinter() override { return "SAMSUNG SRP-500"; }
  PrinterQueueSettings QueueSettings(const std::string&) override { return {}; }
  DeliveryResult Deliver(const Document& doc, std::stop_token) override {
    bytes += EncodeEscPos(doc, PrinterProfile{}).size();
    return {Delivery::kHandedOver, ""};
  }
  bool KeepAsPreview(const Document&, const std::string&, std::vector<std::string>*,
                     std::string*) override {
    return false;
  }
  size_t bytes = 0;
};

// The job as Borea writes it: every line with its six fields, bold and red lines, the total
// in the large size, the end of the receipt.
std::string Job() {
  std::string job;
  for (int i = 0; i < 39; ++i)
    job += "Pizza margherita x" + std::to_string(i) + "        7,50#0#" + (i % 5 ? "9" : "8") +
           "#0#" + (i % 7 ? "0" : "1") + "#" + (i % 9 ? "N" : "R") + "\r\n";
  return job + "#1#9#0#0#N\r\n";
}

struct Setup {
  testing::TempFolder folder;
  PathMapper mapper{PathMapper::Options{folder.path(), {}}};
  Files files{mapper};
  QuietLog log;
  HeadlessDialogs dialogs{log};
  EscPosPrintSystem system;
  testing::DirectPrinters direct{system, log, folder.path()};
  Printers& printers = direct.printers;
  Regional regional = RegionalFor("it_IT");
  Config cfg;
  std::string job = JoinPath(folder.path(), "job.txt");
  Setup() {
    cfg.Cort_Com = TypedValue::FromInt(3);
    folder.Write("job.txt", Job());
  }
};

void BM_PrebillJobFileToEscPos(benchmark::State& state) {
  Setup s;
  InstalledPrinterPrebill prebill(s.cfg, s.regional, s.files, s.printers, s.dialogs, s.log);
  for (auto _ : state) prebill.StampaCortSamsung(s.job);
  state.SetItemsProcessed(state.iterations());
  state.counters["bytes_per_job"] = static_cast<double>(s.system.bytes) / state.iterations();
}
BENCHMARK(BM_PrebillJobFileToEscPos);

void BM_ReadTheJobFileBaseline(benchmark::State& state) {
  Setup s;
  std::vector<std::string> lines;
  std::string err;
  for (auto _ : state) benchmark::DoNotOptimize(ReadTextLines(s.files, s.job, &lines, &err));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReadTheJobFileBaseline);

}  // namespace
}  // namespace valico
