#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/diag_log.h"
#include "printing/cups_delivery_posix.h"
#include "printing/escpos_delivery_posix.h"
#include "printing/escpos_encoder.h"
#include "printing/page_drawing_posix.h"
#include "printing/page_layout.h"
#include "printing/preview.h"
#include "printing/print_system.h"
#include "printing/printer_declarations.h"

namespace valico {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDeclarationsFile = "_Stampanti.ini";

// The printers declared in _Stampanti.ini of the program folder, each delivering to its
// output. The file is read again whenever it changed, so an installer's edit counts at the
// next print; what is wrong in it is logged once per version of the file.
class PosixPrintSystem : public PrintSystem {
 public:
  explicit PosixPrintSystem(PrintSystemOptions o) : o_(std::move(o)) {}

  bool ListPrinters(std::vector<PrinterInfo>* out, std::string* err) override {
    out->clear();
    if (!Load(err)) return false;
    for (const PrinterDeclaration& d : printers_) out->push_back(d.info);
    return true;
  }

  std::string DefaultPrinter() override {
    std::string err;
    if (!Load(&err)) return "";
    for (const PrinterDeclaration& d : printers_)
      if (d.is_default) return d.info.device;
    return "";
  }

  bool Print(const Document& doc, std::string* err) override {
    if (!Load(err)) return false;
    const PrinterDeclaration* d = Find(doc.printer);
    if (!d) {
      *err = "printer \"" + doc.printer + "\" is not declared in " + kDeclarationsFile;
      return false;
    }
    switch (d->output) {
      case PrinterOutput::kNone:
        *err = "printer \"" + doc.printer + "\" has no output (Uscita=" + d->uscita + ")";
        return false;
      case PrinterOutput::kPreview: {
        std::vector<std::string> files;
        if (!WritePreviewFiles(doc, d->profile, InHome(d->target), &files, err)) return false;
        std::string names;
        for (const std::string& f : files) names += (names.empty() ? "" : ", ") + f;
        Log(LogLevel::kInfo, doc.printer, "preview written: " + names);
        return true;
      }
      case PrinterOutput::kEscPos: {
        std::vector<std::string> notes;
        std::string bytes = EncodeEscPos(doc, d->profile, &notes);
        for (const std::string& n : notes) Log(LogLevel::kWarning, doc.printer, n);
        if (!DeliverEscPos(d->target, bytes, o_.home, o_.serial_ports, o_.write_bound, err))
          return false;
        Log(LogLevel::kDebug, doc.printer,
            std::to_string(bytes.size()) + " bytes sent to " + d->target);
        return true;
      }
      case PrinterOutput::kCups: {
        std::string pdf;
        int job = 0;
        if (!DrawPagePdf(LayoutPage(doc, d->profile), d->profile.dpi, &pdf, err) ||
            !SubmitPdfToCups(d->target, pdf, "Valico - " + doc.printer, o_.write_bound, &job, err))
          return false;
        Log(LogLevel::kInfo, doc.printer, "CUPS job " + std::to_string(job) + " on " + d->target);
        return true;
      }
    }
    return false;
  }

  bool KeepAsPreview(const Document& doc, const std::string& native_folder,
                     std::vector<std::string>* files, std::string* err) override {
    std::string ignored;
    Load(&ignored);
    const PrinterDeclaration* d = Find(doc.printer);
    return WritePreviewFiles(doc, d ? d->profile : PrinterProfile{}, native_folder, files, err);
  }

 private:
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
  bool loaded_ = false;
  std::string text_;
  std::vector<PrinterDeclaration> printers_;
};

}  // namespace

std::unique_ptr<PrintSystem> MakePrintSystem(const PrintSystemOptions& options) {
  return std::make_unique<PosixPrintSystem>(options);
}

}  // namespace valico
