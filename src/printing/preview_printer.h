#pragma once

#include <string>
#include <vector>

#include "printing/print_system.h"
#include "printing/printer_profile.h"

namespace valico {

// A printing system of one printer that prints every document as preview files in a folder
// (a trace and a drawing, see WritePreviewFiles), so that support staff see what a job would
// print without the printer.
class PreviewPrintSystem : public PrintSystem {
 public:
  // `printer` is listed and is the default; `native_folder` receives the files.
  PreviewPrintSystem(PrinterInfo printer, PrinterProfile paper, std::string native_folder)
      : printer_(std::move(printer)), paper_(paper), folder_(std::move(native_folder)) {}

  bool ListPrinters(std::vector<PrinterInfo>* out, std::string* err) override;
  std::string DefaultPrinter() override { return printer_.device; }
  PrinterQueueSettings QueueSettings(const std::string&) override { return {}; }
  // Writes the preview of a document of this printer; refuses one for any other.
  DeliveryResult Deliver(const Document& doc, std::stop_token stop) override;
  bool KeepAsPreview(const Document& doc, const std::string& base, std::vector<std::string>* files,
                     std::string* err) override;

  // The files printed so far, in order (one thread delivers).
  const std::vector<std::string>& files() const { return files_; }

 private:
  PrinterInfo printer_;
  PrinterProfile paper_;
  std::string folder_;
  std::vector<std::string> files_;
};

}  // namespace valico
