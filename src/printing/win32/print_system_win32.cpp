// The printing system on Windows: the spooler's printers, and each document printed through
// GDI on a printer DC as one print job, on the thread that delivers it.
#include <windows.h>
#include <winspool.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "platform/diag_log.h"
#include "platform/system_error_win32.h"
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

std::string LastError(const std::string& what) {
  DWORD code = ::GetLastError();
  return what + ": " + (code ? SystemErrorText(code) : "the printer refused it");
}

bool HasOutput(const Document& doc) {
  for (const PrinterOp& op : doc.ops)
    if (op.kind == PrinterOp::Kind::kPrintLine || op.kind == PrinterOp::Kind::kDrawBitmap)
      return true;
  return false;
}

std::string JobName(int job) { return "spooler job " + std::to_string(job); }

// What the GDI calls of one delivery and their watchdog share. The watchdog cuts the delivery
// when its bound passes or Valico stops, unless the GDI calls finished first; the GDI calls look
// at the cut between their steps and abort the document when they find it.
class DeliveryWatch {
 public:
  // The GDI thread: the spooler's job of the document. False when the delivery is cut.
  bool Started(int job) {
    std::lock_guard lock(mu_);
    job_ = job;
    return cut_.empty();
  }
  bool IsCut() const {
    std::lock_guard lock(mu_);
    return !cut_.empty();
  }
  // The GDI thread, when its calls have returned: the watchdog ends.
  void Finish() {
    std::lock_guard lock(mu_);
    finished_ = true;
    changed_.notify_all();
  }

  // The watchdog: waits until the GDI calls finish, the deadline passes or `stop` is
  // requested. The job to cancel when the delivery is cut (0: none yet); nullopt when not cut.
  std::optional<int> WaitForCut(std::chrono::steady_clock::time_point deadline,
                                std::stop_token stop, const std::string& late) {
    std::unique_lock lock(mu_);
    if (changed_.wait_until(lock, stop, deadline, [&] { return finished_; })) return std::nullopt;
    cut_ = stop.stop_requested() ? "Valico is stopping" : late;
    return job_;
  }
  void Cancelled() {
    std::lock_guard lock(mu_);
    cancelled_ = true;
  }

  // Read once both threads are done with it.
  int job() const { return job_; }
  const std::string& cut() const { return cut_; }
  bool cancelled() const { return cancelled_; }

 private:
  mutable std::mutex mu_;
  std::condition_variable_any changed_;
  bool finished_ = false;
  int job_ = 0;             // the spooler's job, once StartDoc gave one
  std::string cut_;         // why the delivery was cut; empty while it is not
  bool cancelled_ = false;  // the watchdog took the job out of the spooler's queue
};

// How the GDI calls of one document ended.
struct GdiOutcome {
  bool ended = false;    // EndDoc took the document
  bool aborted = false;  // the delivery was cut between two steps: AbortDoc dropped it
  std::string err;
  std::vector<std::string> notes;
};

// Prints one document on the calling thread: CreateDC on the printer, StartDoc, the pages,
// EndDoc; AbortDoc as soon as the watch says the delivery is cut.
GdiOutcome PrintOnPrinterDc(const Document& doc, const std::string& output_file,
                            DeliveryWatch& watch) {
  GdiOutcome out;
  const std::string printer = "the printer " + Shown(doc.printer);
  HDC dc = ::CreateDCA(nullptr, doc.printer.c_str(), nullptr, nullptr);
  if (!dc) {
    out.err = LastError("cannot open " + printer);
    return out;
  }
  DOCINFOA info{};
  info.cbSize = sizeof info;
  info.lpszDocName = "Valico";
  info.lpszOutput = output_file.empty() ? nullptr : output_file.c_str();
  int job = ::StartDocA(dc, &info);
  if (job <= 0) {
    out.err = LastError(printer + " did not start a document");
    ::DeleteDC(dc);
    return out;
  }
  // Past StartDoc every reason names the job.
  auto refused = [&](const std::string& what, std::string* e) {
    return Fail(e, LastError(printer + " did not " + what + " (" + JobName(job) + ")"));
  };
  auto cut = [&](std::string* e) {
    out.aborted = true;
    return Fail(e, "the delivery was cut");
  };
  GdiCanvas canvas{dc, ::GetDeviceCaps(dc, VERTRES), [&](std::string* e) {
                     if (watch.IsCut()) return cut(e);
                     return (::EndPage(dc) > 0 && ::StartPage(dc) > 0) ||
                            refused("start a new page", e);
                   }};
  GdiRenderResult drawn;
  out.ended = (watch.Started(job) || cut(&out.err)) &&
              (::StartPage(dc) > 0 || refused("start a page", &out.err)) &&
              RenderWithGdi(doc.ops, canvas, &drawn, &out.err) &&
              (::EndPage(dc) > 0 || refused("end the page", &out.err)) &&
              (!watch.IsCut() || cut(&out.err)) &&
              (::EndDoc(dc) > 0 || refused("end the document", &out.err));
  if (!out.ended) ::AbortDoc(dc);
  ::DeleteDC(dc);
  out.notes = std::move(drawn.notes);
  return out;
}

// Takes a print job out of the printer's queue.
bool CancelJob(const std::string& printer, int job, std::string* err) {
  HANDLE handle = nullptr;
  if (!::OpenPrinterA(const_cast<char*>(printer.c_str()), &handle, nullptr))
    return Fail(err, LastError("cannot open the printer's queue"));
  bool ok = ::SetJobA(handle, static_cast<DWORD>(job), 0, nullptr, JOB_CONTROL_DELETE);
  if (!ok) Fail(err, LastError("cannot cancel " + JobName(job)));
  ::ClosePrinter(handle);
  return ok;
}

// The watchdog of one delivery: when the delivery is cut, takes its job out of the spooler's
// queue, so that a document reported as not delivered does not print later as well. A printer
// set to print directly to its port holds EndDoc until the port has taken every byte; the
// cancel is what lets it return.
void Watch(DeliveryWatch& watch, const Document& doc, std::chrono::milliseconds bound,
           std::stop_token stop, DiagLog* log) {
  const std::string late = "the printer " + Shown(doc.printer) +
                           " did not take the document within " + std::to_string(bound.count()) +
                           " ms";
  std::optional<int> job = watch.WaitForCut(std::chrono::steady_clock::now() + bound, stop, late);
  if (!job || *job == 0) return;  // finished, or not started: StartDoc's caller aborts it
  // Said before the cancel, which may wait for the spooler as long as EndDoc does.
  if (stop.stop_requested() && log)
    log->Warn("printer " + Shown(doc.printer) + ": Valico is stopping during the delivery of " +
              JobName(*job) + ": the job is cancelled");
  std::string err;
  if (CancelJob(doc.printer, *job, &err))
    watch.Cancelled();
  else if (log)
    log->Warn("printer " + Shown(doc.printer) + ": " + err);
}

// The result of a delivery from what both threads saw. A document whose EndDoc went through and
// whose job could not be cancelled is with the spooler: printed, even when it was cut late.
DeliveryResult ResultOf(const DeliveryWatch& watch, const GdiOutcome& gdi) {
  if (gdi.ended && !watch.cancelled()) return {Delivery::kPrinted, JobName(watch.job())};
  if (watch.cut().empty()) return {Delivery::kFailed, gdi.err};
  if (watch.cancelled() || gdi.aborted)
    return {Delivery::kFailed, watch.cut() + "; " + JobName(watch.job()) + " was cancelled"};
  return {Delivery::kFailed, watch.cut() + "; " + gdi.err};
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

  // The GDI calls run on the calling thread (the printer's delivery worker), a watchdog beside
  // them; the watchdog ends as soon as they do.
  DeliveryResult Deliver(const Document& doc, std::stop_token stop) override {
    if (doc.printer.empty()) return {Delivery::kFailed, "no printer is named for the document"};
    if (!HasOutput(doc)) return {Delivery::kPrinted, "nothing to print: no page goes out"};
    if (stop.stop_requested()) return {Delivery::kFailed, "Valico is stopping"};
    std::string output_file, err;
    if (!options_.print_to_folder.empty()) {
      output_file = CreateNumberedFile(options_.print_to_folder, doc.printer, ".prn", &err);
      if (output_file.empty()) return {Delivery::kFailed, err};
    }
    DeliveryWatch watch;
    GdiOutcome gdi;
    {
      std::jthread watchdog([&] { Watch(watch, doc, options_.write_bound, stop, options_.log); });
      gdi = PrintOnPrinterDc(doc, output_file, watch);
      watch.Finish();
    }  // the watchdog has ended here
    if (options_.log)
      for (const std::string& note : gdi.notes)
        options_.log->Warn("printer " + Shown(doc.printer) + ": " + note);
    return ResultOf(watch, gdi);
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
