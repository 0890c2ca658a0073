#include "shell/render.h"

#include "platform/files.h"
#include "platform/native_path.h"
#include "prebill/prebill_renderer.h"
#include "printing/preview_printer.h"
#include "printing/print_queue.h"
#include "printing/printers.h"
#include "receipt/receipt_layouts.h"

namespace valico {
namespace {

// The job named on the command line, whole; one larger than `limit` bytes is refused.
bool ReadJobFile(const std::string& path, std::size_t limit, std::string* text, std::string* err) {
  ReadStatus r = ReadNativeFile(path, limit, text, err);
  if (r == ReadStatus::kMissing) *err = "cannot read " + path + ": no such file";
  return r == ReadStatus::kRead;
}

// A receipt job, laid out as the receipt-form printing lays it out.
bool RenderReceipt(const RenderRequest& request, Printers& printers, DiagLog&, std::string* err) {
  std::string text;
  std::vector<std::vector<PrinterOp>> documents;
  if (!ReadJobFile(request.file, kMaxReceiptJobBytes, &text, err) ||
      !LayOutReceiptJob(ParseRfModel(request.model), text, &documents, err))
    return false;
  for (const auto& document : documents) {
    if (!printers.Apply(document)) {
      *err = "a preview could not be written: see the log";
      return false;
    }
  }
  return true;
}

// A pre-bill job, printed by its model's routine as the service prints it, on the preview
// printer, which is listed on COM1: for Cort_Com 1 (its name gives the family of SAMSUNG).
// The routines delete the job they print, so they print a copy. No settings: no logo.
bool RenderPrebill(const RenderRequest& request, Printers& printers, DiagLog& log,
                   std::string* err) {
  CreateNativeFolders(request.folder, nullptr);
  const std::string copy = InNativeFolder(request.folder, "valico-render-job.tmp");
  if (!CopyReplacing(request.file, copy, err)) return false;
  PathMapper mapper(PathMapper::Options{request.folder, {}});
  Files files(mapper);
  Config cfg;
  cfg.Cort_Com = TypedValue::FromInt(1);
  HeadlessDialogs dialogs(log);
  InstalledPrinterPrebill prebill(cfg, request.regional, files, printers, dialogs, log);
  switch (ParseCortModel(request.model)) {
    case CortModel::kSamsung:
      prebill.StampaCortSamsung(copy);
      break;
    case CortModel::kOlivetti:
      prebill.StampaCortOlivetti(copy);
      break;
    default:
      prebill.StampaCortSolipos(copy);
      break;
  }
  RemoveNativeIfPresent(copy, nullptr);
  return true;
}

// The pre-bill printers' roll: 72 mm printable, 512 dots at 180 dpi.
PrinterProfile Roll72mm() { return PrinterProfile{}; }

// The receipt roll of 80 mm that the two-copy receipt printers take: 576 dots at 203 dpi.
PrinterProfile Roll80mm() {
  PrinterProfile p;
  p.dpi = 203;
  p.width_dots = 576;
  return p;
}

// One model that render knows: its name, the paper its preview is drawn on, and how a job of
// it is laid out on the current printer. Another kind of job is one more row.
struct RenderModel {
  const char* name;
  PrinterProfile (*paper)();
  bool (*lay_out)(const RenderRequest& request, Printers& printers, DiagLog& log, std::string* err);
};

constexpr RenderModel kRenderModels[] = {
    {kRfTmL90, Roll80mm, RenderReceipt},
    {kRfKube, Roll80mm, RenderReceipt},
    {kRfTmU295, SlipPrinterProfile, RenderReceipt},
    {kCortSamsung, Roll72mm, RenderPrebill},
    {kCortOlivetti, Roll72mm, RenderPrebill},
    {kCortSolipos, Roll72mm, RenderPrebill},
};

}  // namespace

std::vector<std::string> RenderModelNames() {
  std::vector<std::string> names;
  for (const RenderModel& m : kRenderModels) names.push_back(m.name);
  return names;
}

bool RenderJob(const RenderRequest& request, DiagLog& log, std::vector<std::string>* files,
               std::string* err) {
  const RenderModel* model = nullptr;
  for (const RenderModel& m : kRenderModels)
    if (request.model == m.name) model = &m;
  if (!model) {
    *err = "no model is named \"" + request.model + "\"";
    return false;
  }
  std::string device = request.printer.empty() ? request.model : request.printer;
  PreviewPrintSystem preview({device, "COM1:"}, model->paper(), request.folder);
  bool ok = false;
  {
    PrintQueue direct(preview, log, {request.folder, PrintQueueOptions::Mode::kDirect});
    Printers printers(preview, direct, log);
    ok = model->lay_out(request, printers, log, err);
  }  // a document left open is ended and drawn too
  *files = preview.files();
  if (ok && files->empty()) {
    *err = "the job prints nothing";
    return false;
  }
  return ok;
}

}  // namespace valico
