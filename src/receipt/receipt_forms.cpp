#include "receipt/receipt_forms.h"

#include <algorithm>

#include "receipt/receipt_layouts.h"

namespace valico {

void ReceiptForms::Report(Job& job, const std::string& message) {
  if (job.reported.insert(message).second) log_.Warn("receipt forms: " + message);
}

void ReceiptForms::LanciaFileRF() {
  const std::string& path = cfg_.RF_File;
  std::optional<FileStamp> stamp = files_.Stamp(path);
  if (!stamp) return;
  if (!job_ || job_->stamp != *stamp) job_.emplace(*stamp);
  Job& job = *job_;
  if (cfg_.rf_model == RfModel::kOther) {
    Report(job, "RF_Stampante \"" + cfg_.RF_Stampante + "\" names no receipt layout: " + path +
                    " is left as it is");
    return;
  }
  // A file Borea is still writing is left until the folder watch says it is whole.
  if (job.refused || !watch_.IsWhole(files_.Native(path)) || clock_.Now() < job.retry_at) return;
  if (!job.printed && !PrintJob(job)) return;
  std::string err;
  if (!files_.Remove(path, &err)) {
    Report(job, "the receipt was printed, but its file cannot be deleted (" + err +
                    "); it is not printed again");
    return;
  }
  job_.reset();
}

bool ReceiptForms::PrintJob(Job& job) {
  const std::string& path = cfg_.RF_File;
  if (job.stamp.size > kMaxReceiptJobBytes) {
    job.refused = true;
    Report(job, path + " holds " + std::to_string(job.stamp.size) +
                    " bytes, more than a receipt job can (" + std::to_string(kMaxReceiptJobBytes) +
                    "): it is left as it is");
    return false;
  }
  std::string text, err;
  if (!files_.ReadAll(path, &text, &err)) {
    Report(job, err + "; trying again at the next tick");
    return false;
  }
  std::vector<std::vector<PrinterOp>> documents;
  if (!LayOutReceiptJob(cfg_.rf_model, text, &documents, &err)) {
    job.refused = true;
    Report(job, path + " is not printed: " + err + "; it is left as it is");
    return false;
  }
  if (!printers_.ChooseInstalled(cfg_.RF_Stampante, &err))
    Report(job,
           err + ": the receipt prints on the current printer \"" + printers_.Current() + "\"");
  for (; job.pages_done < documents.size(); ++job.pages_done) {
    if (printers_.Apply(documents[job.pages_done])) continue;
    job.retry_at = clock_.Now() + job.pause;
    job.pause = std::min(job.pause * 2, kMaxRetryPause);
    Report(job, "page " + std::to_string(job.pages_done + 1) + " of " +
                    std::to_string(documents.size()) + " of " + path +
                    " was not delivered: the job stays, and is tried again from that page");
    return false;
  }
  job.printed = true;
  log_.Info("receipt forms: " + path + " printed on \"" + printers_.Current() + "\", " +
            std::to_string(documents.size()) + " page(s)");
  return true;
}

void RF_StartUP_Valori(Printers& printers, FormModel& form, Dialogs& dialogs) {
  std::vector<PrinterInfo> installed;
  std::string err;
  if (!printers.List(&installed, &err)) {
    dialogs.Message("Errore: " + err);
    return;
  }
  for (const PrinterInfo& p : installed) {
    form.AddItem(controls::RF_Printer, p.device);
    form.AddItem(controls::RF_PRINTER_2, p.device);
  }
}

}  // namespace valico
