#include "printing/preview_printer.h"

#include "printing/preview.h"

namespace valico {

bool PreviewPrintSystem::ListPrinters(std::vector<PrinterInfo>* out, std::string*) {
  *out = {printer_};
  return true;
}

bool PreviewPrintSystem::Print(const Document& doc, std::string* err) {
  if (doc.printer != printer_.device) {
    *err = "printer \"" + doc.printer + "\" is not installed";
    return false;
  }
  std::vector<std::string> written;
  bool ok = WritePreviewFiles(doc, paper_, folder_, &written, err);
  files_.insert(files_.end(), written.begin(), written.end());
  return ok;
}

bool PreviewPrintSystem::KeepAsPreview(const Document& doc, const std::string& native_folder,
                                       std::vector<std::string>* files, std::string* err) {
  return WritePreviewFiles(doc, paper_, native_folder, files, err);
}

}  // namespace valico
