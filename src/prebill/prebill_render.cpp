#include "prebill/prebill_render.h"

#include "prebill/prebill_renderer.h"
#include "printing/preview.h"

namespace valico {
namespace {

constexpr const char* kRenderPort = "COM1:";

// One printer, `device` on COM1:, whose documents become preview files.
class PreviewOnly : public PrintSystem {
 public:
  PreviewOnly(std::string device, std::string folder, std::vector<std::string>* written)
      : device_(std::move(device)), folder_(std::move(folder)), written_(written) {}
  bool ListPrinters(std::vector<PrinterInfo>* out, std::string*) override {
    *out = {{device_, kRenderPort}};
    return true;
  }
  std::string DefaultPrinter() override { return device_; }
  bool Print(const Document& doc, std::string* err) override {
    if (WritePreviewFiles(doc, PrinterProfile{}, folder_, written_, err)) return true;
    failure_ = *err;
    return false;
  }
  bool KeepAsPreview(const Document&, const std::string&, std::vector<std::string>*,
                     std::string* err) override {
    *err = "not kept";
    return false;
  }
  const std::string& failure() const { return failure_; }

 private:
  std::string device_, folder_;
  std::vector<std::string>* written_;
  std::string failure_;
};

}  // namespace

bool RenderPrebill(CortModel model, const std::string& job, const std::string& device,
                   const Config& cfg, const Files& files, const Regional& regional, DiagLog& log,
                   const std::string& native_folder, std::vector<std::string>* written,
                   std::string* err) {
  if (model != CortModel::kSamsung && model != CortModel::kOlivetti &&
      model != CortModel::kSolipos) {
    *err = "model \"" + cfg.Cort_Printer + "\" does not print on an installed printer";
    return false;
  }
  // The routines delete the job they print: they get a copy.
  const std::string copy = JoinPath(native_folder, "render-job.tmp");
  if (!files.IsFolder(native_folder) && !files.CreateFolder(native_folder, err)) return false;
  if (!files.Copy(job, copy, err)) return false;
  Config render = cfg;
  render.Cort_Com = TypedValue::FromInt(1);
  PreviewOnly system(device, native_folder, written);
  {
    HeadlessDialogs dialogs(log);
    Printers printers(system, log, native_folder);
    InstalledPrinterPrebill prebill(render, regional, files, printers, dialogs, log);
    switch (model) {
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
  }  // a receipt left open is ended and drawn too
  std::string ignored;
  if (files.Exists(copy)) files.Remove(copy, &ignored);
  if (!system.failure().empty()) *err = system.failure();
  return system.failure().empty();
}

}  // namespace valico
