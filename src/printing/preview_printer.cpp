#include "printing/preview_printer.h"

#include "printing/preview.h"

namespace valico {

bool PreviewPrintSystem::ListPrinters(std::vector<PrinterInfo>* out, std::string*) {
  *out = {printer_};
  return true;
}

DeliveryResult PreviewPrintSystem::Deliver(const Document& doc, std::stop_token) {
  if (doc.printer != printer_.device)
    return {Delivery::kFailed, "printer \"" + doc.printer + "\" is not installed"};
  std::vector<std::string> written;
  std::string err;
  bool ok = WritePreviewFiles(doc, paper_, folder_, &written, &err);
  files_.insert(files_.end(), written.begin(), written.end());
  if (!ok) return {Delivery::kFailed, err};
  return {Delivery::kPrinted, "preview " + (written.empty() ? folder_ : written.front())};
}

bool PreviewPrintSystem::KeepAsPreview(const Document& doc, const std::string& base,
                                       std::vector<std::string>* files, std::string* err) {
  return WritePreviewFilesAt(doc, paper_, base, files, err);
}

}  // namespace valico
