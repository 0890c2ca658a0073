#include <filesystem>

#include "platform/diag_log.h"
#include "printing/declared_printers.h"
#include "printing/escpos_encoder.h"
#include "printing/page_layout.h"
#include "printing/posix/cups_delivery_posix.h"
#include "printing/posix/escpos_delivery_posix.h"
#include "printing/posix/page_drawing_posix.h"
#include "printing/preview.h"
#include "printing/print_system.h"

namespace valico {
namespace {

namespace fs = std::filesystem;

// The printers declared in _Stampanti.ini of the program folder, each delivering to its
// output. The file is read again whenever it changed, so an installer's edit counts at the
// next print; what is wrong in it is logged once per version of the file.
class PosixPrintSystem : public PrintSystem {
 public:
  explicit PosixPrintSystem(PrintSystemOptions o) : o_(std::move(o)), declared_(o_.home, o_.log) {}

  bool ListPrinters(std::vector<PrinterInfo>* out, std::string*) override {
    out->clear();
    for (const PrinterDeclaration& d : declared_.Current()->printers()) out->push_back(d.info);
    return true;
  }

  std::string DefaultPrinter() override {
    const PrinterDeclaration* d = declared_.Current()->Default();
    return d ? d->info.device : "";
  }

  PrinterQueueSettings QueueSettings(const std::string& device) override {
    auto printers = declared_.Current();
    const PrinterDeclaration* d = printers->Find(device);
    if (!d || !d->wait_minutes) return {};
    return {std::chrono::minutes(*d->wait_minutes)};
  }

  DeliveryResult Deliver(const Document& doc, std::stop_token stop) override {
    auto printers = declared_.Current();  // holds `d` for the whole delivery
    const PrinterDeclaration* d = printers->Find(doc.printer);
    if (!d)
      return {Delivery::kFailed,
              "printer \"" + doc.printer + "\" is not declared in " + DeclaredPrinters::kFileName};
    return DeliverTo(*d, doc, stop);
  }

  bool KeepAsPreview(const Document& doc, const std::string& base, std::vector<std::string>* files,
                     std::string* err) override {
    auto printers = declared_.Current();
    const PrinterDeclaration* d = printers->Find(doc.printer);
    return WritePreviewFilesAt(doc, d ? d->profile : PrinterProfile{}, base, files, err);
  }

 private:
  DeliveryResult DeliverTo(const PrinterDeclaration& d, const Document& doc, std::stop_token stop) {
    std::string err;
    switch (d.output) {
      case PrinterOutput::kNone:
        return {Delivery::kFailed, "the printer has no output (Uscita=" + Cut(d.uscita) + ")"};
      case PrinterOutput::kPreview: {
        std::vector<std::string> files;
        if (!WritePreviewFiles(doc, d.profile, InHome(d.target), &files, &err))
          return {Delivery::kFailed, err};
        std::string names;
        for (const std::string& f : files) names += (names.empty() ? "" : ", ") + f;
        return {Delivery::kPrinted, "preview " + names};
      }
      case PrinterOutput::kEscPos: {
        std::vector<std::string> notes;
        std::string bytes = EncodeEscPos(doc, d.profile, &notes);
        for (const std::string& n : notes) Log(LogLevel::kWarning, doc.printer, n);
        return DeliverEscPos(d.target, bytes, d.ask_status, o_.home, o_.serial_ports,
                             o_.write_bound, stop);
      }
      case PrinterOutput::kCups: {
        std::string pdf;
        int job = 0;
        if (!DrawPagePdf(LayoutPage(doc, d.profile), d.profile.dpi, &pdf, &err) ||
            !SubmitPdfToCups(d.target, pdf, "Valico - " + doc.printer, o_.write_bound, stop, &job,
                             &err))
          return {Delivery::kFailed, err};
        return {Delivery::kPrinted, "CUPS job " + std::to_string(job) + " on " + d.target};
      }
    }
    return {Delivery::kFailed, "unknown output"};
  }

  std::string InHome(const std::string& folder) const {
    fs::path p(folder);
    return p.is_absolute() ? folder : (fs::path(o_.home) / p).string();
  }

  void Log(LogLevel level, const std::string& printer, const std::string& text) {
    if (!o_.log) return;
    o_.log->Write(level, printer.empty() ? text : "printer \"" + printer + "\": " + text);
  }

  PrintSystemOptions o_;
  DeclaredPrinters declared_;  // safe from the delivery workers of several printers at once
};

}  // namespace

std::unique_ptr<PrintSystem> MakePrintSystem(const PrintSystemOptions& options) {
  return std::make_unique<PosixPrintSystem>(options);
}

}  // namespace valico
