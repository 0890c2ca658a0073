// The printing system on Windows: the spooler's printers, and each document printed through
// GDI on a printer DC as one print job.
#include <windows.h>
#include <winspool.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/diag_log.h"
#include "printing/gdi_renderer_win32.h"
#include "printing/numbered_files_win32.h"
#include "printing/preview.h"
#include "printing/print_system.h"

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

// How one delivery ended, shared between the caller, who waits a bounded time, and the thread
// that talks to the spooler, which may outlive the wait.
struct Delivery {
  std::mutex mu;
  std::condition_variable finished_cv;
  bool finished = false;
  bool ok = false;
  std::string err;
  std::vector<std::string> notes;
  std::atomic<int> job_id{0};  // the spooler's job, once StartDoc gave one
};

// Prints one document: CreateDC on the printer, StartDoc, pages, EndDoc. Runs on its own
// thread; touches nothing but its arguments.
void PrintOnPrinterDc(const Document& doc, const std::string& output_file, Delivery* d) {
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

  // The spooler call runs on a thread of its own, and the tick waits for it at most
  // write_bound. A printer set to print directly to its port holds EndDoc until the port has
  // taken every byte; past the bound the job is taken out of the queue, so that a document
  // reported as not delivered does not print later as well.
  bool Print(const Document& doc, std::string* err) override {
    if (doc.printer.empty()) return Fail(err, "no printer is named for the document");
    if (!HasOutput(doc)) return true;  // nothing was printed: no page goes out
    std::string output_file;
    if (!options_.print_to_folder.empty()) {
      output_file = CreateNumberedFile(options_.print_to_folder, doc.printer, ".prn", err);
      if (output_file.empty()) return false;
    }
    auto delivery = std::make_shared<Delivery>();
    try {
      std::thread([doc, output_file, delivery] {
        PrintOnPrinterDc(doc, output_file, delivery.get());
      }).detach();
    } catch (const std::system_error& e) {
      return Fail(err, std::string("cannot start the printing thread: ") + e.what());
    }

    std::unique_lock lock(delivery->mu);
    if (!delivery->finished_cv.wait_for(lock, options_.write_bound,
                                        [&] { return delivery->finished; })) {
      lock.unlock();
      std::string why = "the printer \"" + doc.printer + "\" did not take the document within " +
                        std::to_string(options_.write_bound.count()) + " ms";
      std::string cancel_err;
      int job = delivery->job_id;
      if (job > 0 && CancelJob(doc.printer, job, &cancel_err))
        why += "; its print job was cancelled";
      else
        why += "; it may still print" + (cancel_err.empty() ? "" : " (" + cancel_err + ")");
      return Fail(err, why);
    }
    if (options_.log)
      for (const std::string& note : delivery->notes)
        options_.log->Warn("printer \"" + doc.printer + "\": " + note);
    return delivery->ok || Fail(err, delivery->err);
  }

  bool KeepAsPreview(const Document& doc, const std::string& native_folder,
                     std::vector<std::string>* files, std::string* err) override {
    // The spooler knows no paper width: a preview is drawn on a receipt roll.
    return WritePreviewFiles(doc, PrinterProfile{}, native_folder, files, err);
  }

 private:
  PrintSystemOptions options_;
};

}  // namespace

std::unique_ptr<PrintSystem> MakePrintSystem(const PrintSystemOptions& options) {
  return std::make_unique<Win32PrintSystem>(options);
}

}  // namespace valico
