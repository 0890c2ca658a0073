#include "shell/reprint.h"

#include <algorithm>

namespace valico {
namespace {

// Whether `device` is installed; true when the list cannot be had (the queue will say).
bool Installed(Printers& printers, const std::string& device) {
  std::vector<PrinterInfo> installed;
  std::string err;
  if (!printers.List(&installed, &err)) return true;
  return std::any_of(installed.begin(), installed.end(),
                     [&](const PrinterInfo& p) { return p.device == device; });
}

// Queues document `number` again; false, with the reason, when it stays where it is.
bool ReprintOne(const UnprintedDocuments& unprinted, PrintOutlet& outlet, Printers& printers,
                long number, const std::string& printer, std::string* line) {
  QueueFile job;
  std::string err;
  if (!unprinted.Read(number, &job, &err)) {
    *line = "non letto: " + err;
    return false;
  }
  const std::string target = printer.empty() ? job.printer : printer;
  if (target.empty()) {
    *line = "non dice su quale stampante: indicarne una (--printer)";
    return false;
  }
  if (!Installed(printers, target)) {
    *line =
        "la stampante \"" + target + "\" non risulta installata: indicarne un'altra (--printer)";
    return false;
  }
  for (Document& doc : job.documents) doc.printer = target;
  SubmitResult r = outlet.Submit(std::move(job.documents), nullptr);
  if (!r.ok()) {
    *line = "non rimesso in coda: " + r.detail;
    return false;
  }
  *line = "di nuovo in coda per \"" + target + "\"";
  if (!unprinted.Remove(number, &err)) {
    *line += ", ma resta in NonStampati (" + err + "): non ristamparlo di nuovo";
    return false;
  }
  return true;
}

}  // namespace

bool ReprintOutcome::all_queued() const {
  return std::all_of(lines.begin(), lines.end(), [](const Line& l) { return l.queued; });
}

bool ReprintOutcome::any_queued() const {
  return std::any_of(lines.begin(), lines.end(), [](const Line& l) { return l.queued; });
}

std::string ReprintOutcome::Text() const {
  std::string text;
  for (const Line& l : lines) text += l.text + "\n";
  return text;
}

ReprintOutcome ReprintUnprinted(const UnprintedDocuments& unprinted, PrintOutlet& outlet,
                                Printers& printers, const ReprintRequest& request) {
  ReprintOutcome outcome;
  std::string err;
  const std::vector<long> kept = unprinted.Numbers(&err);
  for (long number : request.all ? kept : request.numbers) {
    std::string line = "non si trova in NonStampati";
    bool queued = std::find(kept.begin(), kept.end(), number) != kept.end() &&
                  ReprintOne(unprinted, outlet, printers, number, request.printer, &line);
    outcome.lines.push_back({queued, "Documento " + std::to_string(number) + ": " + line});
  }
  return outcome;
}

}  // namespace valico
