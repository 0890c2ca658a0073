// The printing system on Windows: the spooler's printers, and each document printed through
// GDI on a printer DC as one print job.
#include <windows.h>
#include <winspool.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <system_error>
#include <thread>

#include "platform/diag_log.h"
#include "printing/preview.h"
#include "printing/print_system.h"
#include "printing/win32/gdi_renderer_win32.h"
#include "printing/win32/numbered_files_win32.h"

namespace valico {
namespace {

bool Fail(std::string* err, const std::string& why) {
  if (err) *err = why;
  return false;
}

std::string SystemMessage(DWORD code) {
  char buf[512] = {};
  DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             code, 0, buf, sizeof buf, nullptr);
  while (n > 0 && (buf[n - 1] == '\r' || buf[n - 1] == '\n' || buf[n - 1] == '.')) buf[--n] = 0;
  return n ? std::string(buf, n) : "error " + std::to_string(code);
}

std::string LastError(const std::string& what) {
  DWORD code = ::GetLastError();
  return what + ": " + (code ? SystemMessage(code) : "the printer refused it");
}

bool HasOutput(const Document& doc) {
  for (const PrinterOp& op : doc.ops)
    if (op.kind == PrinterOp::Kind::kPrintLine || op.kind == PrinterOp::Kind::kDrawBitmap)
      return true;
  return false;
}

// How one delivery ended, and the spooler's job for the watchdog that may cancel it.
struct GdiJob {
  std::mutex mu;
  std::condition_variable finished_cv;
  bool finished = false;
  bool ok = false;
  std::string err;
  std::vector<std::string> notes;
  std::atomic<int> job_id{0};  // the spooler's job, once StartDoc gave one
};

// Prints one document: CreateDC on the printer, StartDoc, pages, EndDoc.
void PrintOnPrinterDc(const Document& doc, const std::string& output_file, GdiJob* d) {
  std::string err;
  std::vector<std::string> notes;
  bool ok = [&] {
    HDC dc = ::CreateDCA(nullptr, doc.printer.c_str(), nullptr, nullptr);
    if (!dc) return Fail(&err, LastError("cannot open the printer \"" + doc.printer + "\""));
    DOCINFOA info{};
    info.cbSize = sizeof info;
    info.lpszDocName = "Valico";
    info.lpszOutput = output_file.empty() ? nullptr : output_file.c_str();
    int job = ::StartDocA(dc, &info);
    if (job <= 0) {
      std::string why = LastError("the printer \"" + doc.printer + "\" did not start a document");
      ::DeleteDC(dc);
      return Fail(&err, why);
    }
    d->job_id = job;
    GdiCanvas canvas{dc, ::GetDeviceCaps(dc, VERTRES), [dc](std::string* e) {
                       return (::EndPage(dc) > 0 && ::StartPage(dc) > 0) ||
                              Fail(e, LastError("the printer did not start a new page"));
                     }};
    GdiRenderResult result;
    bool done =
        (::StartPage(dc) > 0 || Fail(&err, LastError("the printer did not start a page"))) &&
        RenderWithGdi(doc.ops, canvas, &result, &err) &&
        (::EndPage(dc) > 0 || Fail(&err, LastError("the printer did not end the page"))) &&
        (::EndDoc(dc) > 0 || Fail(&err, LastError("the printer did not end the document")));
    if (!done) ::AbortDoc(dc);
    ::DeleteDC(dc);
    notes = std::move(result.notes);
    return done;
  }();
  std::lock_guard lock(d->mu);
  d->ok = ok;
  d->err = std::move(err);
  d->notes = std::move(notes);
  d->finished = true;
  d->finished_cv.notify_all();
}

// Takes a print job out of the printer's queue.
bool CancelJob(const std::string& printer, int job, std::string* err) {
  HANDLE handle = nullptr;
  if (!::OpenPrinterA(const_cast<char*>(printer.c_str()), &handle, nullptr))
    return Fail(err, LastError("cannot open the printer's queue"));
  bool ok = ::SetJobA(handle, static_cast<DWORD>(job), 0, nullptr, JOB_CONTROL_DELETE);
  if (!ok) Fail(err, LastError("cannot cancel the print job"));
  ::ClosePrinter(handle);
  return ok;
}

class Win32PrintSystem : public PrintSystem {
 public:
  explicit Win32PrintSystem(const PrintSystemOptions& options) : options_(options) {}

  bool ListPrinters(std::vector<PrinterInfo>* out, std::string* err) override {
    out->clear();
    // Level 5 holds the device and port names and, unlike level 2, does not ask each printer
    // for its status, which can wait on a network printer that is gone.
    const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    std::vector<BYTE> buf;
    DWORD need = 0, count = 0;
    for (int tries = 0;; ++tries) {
      if (::EnumPrintersA(flags, nullptr, 5, buf.data(), static_cast<DWORD>(buf.size()), &need,
                          &count))
        break;
      // A printer added between the two calls makes the second one short again.
      if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || tries == 3)
        return Fail(err, LastError("cannot list the printers"));
      buf.resize(need);
    }
    const auto* info = reinterpret_cast<const PRINTER_INFO_5A*>(buf.data());
    for (DWORD i = 0; i < count; ++i)
      out->push_back({info[i].pPrinterName ? info[i].pPrinterName : "",
                      info[i].pPortName ? info[i].pPortName : ""});
    return true;
  }

  std::string DefaultPrinter() override {
    DWORD size = 0;
    ::GetDefaultPrinterA(nullptr, &size);
    if (size == 0) return "";
    std::string name(size, '\0');
    if (!::GetDefaultPrinterA(name.data(), &size)) return "";
    name.resize(name.find('\0'));
    return name;
  }

  PrinterQueueSettings QueueSettings(const std::string&) override { return {}; }

  // The GDI calls run on the calling thread (the printer's delivery worker). A printer set to
  // print directly to its port holds EndDoc until the port has taken every byte: past the
  // bound, or when Valico stops, a watchdog takes the job out of the queue, so that a document
  // reported as not delivered does not print later as well.
  DeliveryResult Deliver(const Document& doc, std::stop_token stop) override {
    std::string err;
    if (doc.printer.empty()) return {Delivery::kFailed, "no printer is named for the document"};
    if (!HasOutput(doc)) return {Delivery::kPrinted, "nothing to print: no page goes out"};
    std::string output_file;
    if (!options_.print_to_folder.empty()) {
      output_file = CreateNumberedFile(options_.print_to_folder, doc.printer, ".prn", &err);
      if (output_file.empty()) return {Delivery::kFailed, err};
    }
    GdiJob d;
    std::string cut;
    {
      std::jthread watchdog([&](std::stop_token done) {
        std::mutex mu;
        std::condition_variable_any cv;
        std::unique_lock lock(mu);
        auto deadline = std::chrono::steady_clock::now() + options_.write_bound;
        while (!done.stop_requested() && !stop.stop_requested() &&
               std::chrono::steady_clock::now() < deadline)
          cv.wait_for(lock, done, std::chrono::milliseconds(50), [] { return false; });
        if (done.stop_requested()) return;
        cut = stop.stop_requested()
                  ? "Valico is stopping"
                  : "the printer \"" + doc.printer + "\" did not take the document within " +
                        std::to_string(options_.write_bound.count()) + " ms";
        std::string cancel_err;
        int job = d.job_id;
        if (job > 0 && CancelJob(doc.printer, job, &cancel_err))
          cut += "; its print job was cancelled";
        else
          cut += "; it may still print" + (cancel_err.empty() ? "" : " (" + cancel_err + ")");
      });
      PrintOnPrinterDc(doc, output_file, &d);
    }  // the watchdog ends here
    if (options_.log)
      for (const std::string& note : d.notes)
        options_.log->Warn("printer \"" + doc.printer + "\": " + note);
    if (!cut.empty()) return {Delivery::kFailed, cut};
    if (!d.ok) return {Delivery::kFailed, d.err};
    return {Delivery::kPrinted, "spooler job " + std::to_string(d.job_id.load())};
  }

  bool KeepAsPreview(const Document& doc, const std::string& base, std::vector<std::string>* files,
                     std::string* err) override {
    // The spooler knows no paper width: a preview is drawn on a receipt roll.
    return WritePreviewFilesAt(doc, PrinterProfile{}, base, files, err);
  }

 private:
  PrintSystemOptions options_;
};

}  // namespace

std::unique_ptr<PrintSystem> MakePrintSystem(const PrintSystemOptions& options) {
  return std::make_unique<Win32PrintSystem>(options);
}

}  // namespace valico
