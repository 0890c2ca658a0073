#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <sstream>

#include "platform/diag_log.h"
#include "printing/escpos_encoder.h"
#include "printing/page_layout.h"
#include "printing/posix/cups_delivery_posix.h"
#include "printing/posix/escpos_delivery_posix.h"
#include "printing/posix/page_drawing_posix.h"
#include "printing/preview.h"
#include "printing/print_system.h"
#include "printing/printer_declarations.h"

namespace valico {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDeclarationsFile = "_Stampanti.ini";
// Every ESC/POS printer is asked its status after a document.
constexpr bool kAskStatus = true;

// The printers declared in _Stampanti.ini of the program folder, each delivering to its
// output. The file is read again whenever it changed, so an installer's edit counts at the
// next print; what is wrong in it is logged once per version of the file.
class PosixPrintSystem : public PrintSystem {
 public:
  explicit PosixPrintSystem(PrintSystemOptions o) : o_(std::move(o)) {}

  bool ListPrinters(std::vector<PrinterInfo>* out, std::string* err) override {
    std::lock_guard lock(mu_);
    out->clear();
    if (!Load(err)) return false;
    for (const PrinterDeclaration& d : printers_) out->push_back(d.info);
    return true;
  }

  std::string DefaultPrinter() override {
    std::lock_guard lock(mu_);
    std::string err;
    if (!Load(&err)) return "";
    for (const PrinterDeclaration& d : printers_)
      if (d.is_default) return d.info.device;
    return "";
  }

  PrinterQueueSettings QueueSettings(const std::string& device) override {
    (void)device;
    return {};
  }

  DeliveryResult Deliver(const Document& doc, std::stop_token stop) override {
    std::optional<PrinterDeclaration> d;
    {
      std::lock_guard lock(mu_);
      std::string err;
      if (!Load(&err)) return {Delivery::kFailed, err};
      if (const PrinterDeclaration* found = Find(doc.printer)) d = *found;
    }
    if (!d)
      return {Delivery::kFailed,
              "printer \"" + doc.printer + "\" is not declared in " + kDeclarationsFile};
    return DeliverTo(*d, doc, stop);
  }

  bool KeepAsPreview(const Document& doc, const std::string& base, std::vector<std::string>* files,
                     std::string* err) override {
    PrinterProfile profile;
    {
      std::lock_guard lock(mu_);
      std::string ignored;
      Load(&ignored);
      if (const PrinterDeclaration* d = Find(doc.printer)) profile = d->profile;
    }
    return WritePreviewFilesAt(doc, profile, base, files, err);
  }

 private:
  DeliveryResult DeliverTo(const PrinterDeclaration& d, const Document& doc, std::stop_token stop) {
    std::string err;
    switch (d.output) {
      case PrinterOutput::kNone:
        return {Delivery::kFailed, "the printer has no output (Uscita=" + d.uscita + ")"};
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
        return DeliverEscPos(d.target, bytes, kAskStatus, o_.home, o_.serial_ports, o_.write_bound,
                             stop);
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

  // Reads _Stampanti.ini again when its text changed. A missing file declares no printers.
  bool Load(std::string* err) {
    fs::path path = fs::path(o_.home) / kDeclarationsFile;
    std::string text;
    std::error_code ec;
    if (fs::exists(path, ec)) {
      std::ifstream in(path, std::ios::binary);
      std::ostringstream s;
      s << in.rdbuf();
      if (!in) {
        *err = "cannot read " + path.string();
        return false;
      }
      text = s.str();
    } else if (!loaded_ || !text_.empty()) {
      Log(LogLevel::kInfo, "", path.string() + " is missing: no printers are installed");
    }
    if (loaded_ && text == text_) return true;
    loaded_ = true;
    text_ = text;
    std::vector<std::string> problems;
    printers_ = ParsePrinterDeclarations(text_, &problems);
    for (const std::string& p : problems)
      Log(LogLevel::kWarning, "", kDeclarationsFile + (" " + p));
    return true;
  }

  const PrinterDeclaration* Find(const std::string& device) const {
    for (const PrinterDeclaration& d : printers_)
      if (d.info.device == device) return &d;
    return nullptr;
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
  std::mutex mu_;  // the declarations: deliveries of several printers run at once
  bool loaded_ = false;
  std::string text_;
  std::vector<PrinterDeclaration> printers_;
};

}  // namespace

std::unique_ptr<PrintSystem> MakePrintSystem(const PrintSystemOptions& options) {
  return std::make_unique<PosixPrintSystem>(options);
}

}  // namespace valico
