#include "shell/print_status.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>

#include "platform/clock.h"
#include "platform/durable_files.h"
#include "platform/native_path.h"
#include "printing/queue_file.h"
#include "shell/status_file.h"
#include "spool/spool_folders.h"

namespace valico {
namespace {

constexpr std::size_t kLargestJob = std::size_t{1} << 30;

std::string When(std::int64_t ms) {
  if (ms <= 0) return "-";
  LocalTime t = LocalTimeAt(ms);
  char s[32];
  std::snprintf(s, sizeof s, "%02d/%02d/%04d %02d:%02d:%02d", t.day, t.month, t.year, t.hour,
                t.minute, t.second);
  return s;
}

std::int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

bool EndsWith(const std::string& s, const std::string& end) {
  return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

// A job of a printer's queue folder: "0000000042.job", or ".held" while its job file goes.
bool IsQueuedJob(const std::string& name) {
  bool digits = name.size() >= 10 && std::all_of(name.begin(), name.begin() + 10,
                                                 [](char c) { return c >= '0' && c <= '9'; });
  return digits && (name.substr(10) == ".job" || name.substr(10) == ".held");
}

bool ReadJob(const std::string& path, QueueFile* job) {
  std::string bytes;
  return ReadNativeFile(path, kLargestJob, &bytes, nullptr) == ReadStatus::kRead &&
         DecodeQueueFile(bytes, job, nullptr);
}

// One printer as the report shows it: its queue on disk, and what the status file says.
struct PrinterLine {
  std::size_t queued = 0;    // in its folder of CodaStampa/
  std::size_t incoming = 0;  // left in CodaStampa/ itself for the serving Valico to take
  std::int64_t oldest_ms = 0;
  const PrinterQueueState* state = nullptr;
  void Oldest(std::int64_t ms) {
    if (ms > 0 && (oldest_ms == 0 || ms < oldest_ms)) oldest_ms = ms;
  }
};

// What CodaStampa/ holds, by printer; *broken counts the jobs set aside as unreadable.
std::map<std::string, PrinterLine> QueueOnDisk(const std::string& queue, std::size_t* broken) {
  std::map<std::string, PrinterLine> printers;
  std::vector<std::string> folders, names;
  std::string err;
  ListNativeFolder(queue, true, &folders, &err);
  for (const std::string& folder : folders) {
    names.clear();
    ListNativeFolder(InNativeFolder(queue, folder), false, &names, &err);
    std::sort(names.begin(), names.end());  // the numbers have ten digits: oldest first
    std::vector<std::string> jobs;
    for (const std::string& name : names) {
      if (IsQueuedJob(name)) jobs.push_back(name);
      if (EndsWith(name, ".broken")) ++*broken;
    }
    if (jobs.empty()) continue;
    QueueFile first;
    bool read = ReadJob(InNativeFolder(InNativeFolder(queue, folder), jobs.front()), &first);
    PrinterLine& line = printers[read ? first.printer : "(cartella " + folder + ")"];
    line.queued += jobs.size();
    if (read) line.Oldest(first.queued_ms);
  }
  names.clear();
  ListNativeFolder(queue, false, &names, &err);
  for (const std::string& name : names) {
    QueueFile job;
    if (EndsWith(name, ".broken")) ++*broken;
    if (!EndsWith(name, ".job") || !ReadJob(InNativeFolder(queue, name), &job)) continue;
    PrinterLine& line = printers[job.printer];
    ++line.incoming;
    line.Oldest(job.queued_ms);
  }
  return printers;
}

void AddHeader(Context& ctx, bool served, const ServiceStatus* status, std::string& out) {
  out += "Valico - Versione " VALICO_VERSION " - stato stampe del " + When(NowMs()) + "\n";
  out += "Cartella: " + ctx.program_folder() + "\n";
  out += served ? "Servizio: attivo (un Valico serve questa cartella)\n"
                : "Servizio: NON attivo (nessun Valico serve questa cartella: lavori e stampe "
                  "attendono il suo prossimo avvio)\n";
  if (!status) {
    out += std::string("Stato registrato: nessuno (") + kStatusFileName + " manca)\n";
  } else {
    out += "Stato registrato: " + When(status->written_ms) + " (" + kStatusFileName + ")\n";
    out += "Valico avviato il: " + When(status->started_ms) + "\n";
  }
}

std::string Waiting(Context& ctx, const char* folder) {
  std::string err;
  return std::string(folder) + " " +
         std::to_string(ctx.svc.files.ListFiles(ctx.InProgramFolder(folder), &err).size());
}

std::string JobFile(Context& ctx, const std::string& path) {
  if (path.empty()) return "  File: non impostato\n";
  return "  File " + path + ": " +
         (ctx.svc.files.IsFile(path) ? "presente, in attesa" : "assente (nulla in attesa)") + "\n";
}

void AddDevices(Context& ctx, const ServiceStatus* status, std::string& out) {
  const Config& cfg = ctx.cfg;
  auto heading = [&](const char* label, bool active) {
    out += std::string("\n") + label + (active ? ": in uso\n" : ": non in uso\n");
  };
  auto last = [&](StatusDevice device) {
    const DeviceDone* done = status ? &status->devices[static_cast<int>(device)] : nullptr;
    out += done && !done->what.empty()
               ? "  Ultimo: " + done->what + ", " + When(done->when_ms) + "\n"
               : "  Ultimo: nessun lavoro registrato\n";
  };
  heading("DISPLAY", cfg.Display_Active);
  out += JobFile(ctx, cfg.Display_File);
  last(StatusDevice::kDisplay);
  heading("MISURATORE FISCALE", cfg.MF_Active);
  out += "  In attesa: " + Waiting(ctx, kFiscalSpool.drop) + ", " +
         Waiting(ctx, kFiscalSpool.taken) + "\n";
  last(StatusDevice::kFiscal);
  heading("STAMPANTE RICEVUTE FISCALI", cfg.RF_Active);
  out += JobFile(ctx, cfg.RF_File);
  last(StatusDevice::kReceipt);
  heading("STAMPANTE di PRECONTO", cfg.Cort_Active);
  out += "  In attesa: " + Waiting(ctx, kPrebillSpool.drop) + ", " +
         Waiting(ctx, kPrebillSpool.taken) + "\n";
  last(StatusDevice::kPrebill);
}

void AddPrinter(const std::string& name, const PrinterLine& p, bool served, std::string& out) {
  out += "  " + Quoted(name) + ": " + std::to_string(p.queued + p.incoming) + " in coda";
  if (p.oldest_ms > 0) out += ", il primo del " + When(p.oldest_ms);
  if (p.incoming > 0) out += " (" + std::to_string(p.incoming) + " da prendere in coda)";
  out += "\n";
  const PrinterQueueState* s = p.state;
  if (p.queued + p.incoming > 0 && s && !s->last_error.empty())
    out += "    Ultimo errore: " + s->last_error + "\n";
  if (p.queued + p.incoming > 0 && !served) {
    out += "    Prossimo tentativo: al prossimo avvio di Valico\n";
  } else if (p.queued > 0 && s && s->next_attempt_ms > 0 && !s->last_error.empty()) {
    out += "    Prossimo tentativo: " + When(s->next_attempt_ms) + "\n";
  }
  if (s && !s->last_done.empty())
    out += "    Ultimo documento: " + s->last_done + ", " + When(s->last_done_ms) + "\n";
}

void AddQueue(Context& ctx, bool served, const ServiceStatus* status, std::string& out) {
  std::size_t broken = 0;
  std::map<std::string, PrinterLine> printers = QueueOnDisk(ctx.print_queue.folder(), &broken);
  if (status)
    for (const PrinterQueueState& s : status->printers) printers[s.printer].state = &s;
  out += "\nCODA DI STAMPA (CodaStampa)\n";
  if (printers.empty()) out += "  Nessuna stampante ha lavori in coda\n";
  for (const auto& [name, line] : printers) AddPrinter(name, line, served, out);
  if (broken > 0)
    out += "  Lavori illeggibili messi da parte (.broken): " + std::to_string(broken) + "\n";
}

}  // namespace

std::string ShownTime(std::int64_t ms) { return When(ms); }

QueueTotals QueueTotalsOf(Context& ctx) {
  std::size_t broken = 0;
  QueueTotals totals;
  for (const auto& [name, line] : QueueOnDisk(ctx.print_queue.folder(), &broken)) {
    totals.jobs += line.queued + line.incoming;
    if (line.oldest_ms > 0 && (totals.oldest_ms == 0 || line.oldest_ms < totals.oldest_ms))
      totals.oldest_ms = line.oldest_ms;
  }
  return totals;
}

std::string UnprintedReport(Context& ctx) {
  std::string out;
  const UnprintedDocuments& unprinted = ctx.print_queue.unprinted();
  std::string err;
  std::vector<long> numbers = unprinted.Numbers(&err);
  out += "NON STAMPATI (NonStampati): " + std::to_string(numbers.size());
  if (numbers.empty()) return out + "\n";
  if (numbers.size() > kListedUnprinted) {
    QueueFile oldest;
    if (unprinted.Read(numbers.front(), &oldest, nullptr))
      out += ", il primo del " + When(oldest.queued_ms);
    return out + " (troppi per elencarli uno a uno)\n";
  }
  std::vector<UnprintedDocuments::Entry> entries = unprinted.List(&err);
  if (!entries.empty()) out += ", il primo del " + When(entries.front().queued_ms);
  out += "\n";
  for (const UnprintedDocuments::Entry& e : entries)
    out += "  " + std::to_string(e.number) + ": " + Quoted(e.printer) + ", " +
           (e.reason.empty() ? "motivo non registrato" : e.reason) + "\n";
  return out;
}

std::string PrintStatusReport(Context& ctx, bool served) {
  ServiceStatus status;
  bool have_status = ReadStatusFile(ctx.svc.files.Native(ctx.program_folder()), &status, nullptr);
  const ServiceStatus* known = have_status ? &status : nullptr;
  std::string out;
  AddHeader(ctx, served, known, out);
  AddDevices(ctx, known, out);
  AddQueue(ctx, served, known, out);
  return out + "\n" + UnprintedReport(ctx);
}

}  // namespace valico
