#include "platform/diag_log.h"
#include "shell/app_print_system.h"

namespace valico {
namespace {

// Until the spooler's printing system is part of the Windows build: no printers, and every
// document is refused, and the log holds its trace and the reason.
class NoPrintSystem : public PrintSystem {
 public:
  bool ListPrinters(std::vector<PrinterInfo>* out, std::string*) override {
    out->clear();
    return true;
  }
  std::string DefaultPrinter() override { return ""; }
  bool Print(const Document&, std::string* err) override {
    *err = "this Windows build does not print yet";
    return false;
  }
  bool KeepAsPreview(const Document&, const std::string&, std::vector<std::string>*,
                     std::string* err) override {
    *err = "this Windows build keeps no previews yet";
    return false;
  }
};

}  // namespace

std::unique_ptr<PrintSystem> MakeAppPrintSystem(const PrintSystemOptions&) {
  return std::make_unique<NoPrintSystem>();
}

}  // namespace valico
