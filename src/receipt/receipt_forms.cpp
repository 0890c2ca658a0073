#include "receipt/receipt_forms.h"

#include <algorithm>

#include "platform/file_identity.h"
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
    Report(job, "RF_Stampante \"" + cfg_.RF_Stampante +
                    "\" names no receipt layout: " + files_.Native(path) + " is left as it is");
    return;
  }
  // A file Borea is still writing is left until the folder watch says it is whole.
  if (job.refused || job.queued || !watch_.IsWhole(files_.Native(path)) ||
      clock_.Now() < job.retry_at)
    return;
  QueueJob(job);
}

void ReceiptForms::QueueJob(Job& job) {
  const std::string& path = cfg_.RF_File;
  const std::string native = files_.Native(path);
  if (job.stamp.size > kMaxReceiptJobBytes) {
    job.refused = true;
    Report(job, native + " holds " + std::to_string(job.stamp.size) +
                    " bytes, more than a receipt job can (" + std::to_string(kMaxReceiptJobBytes) +
                    "): it is left as it is");
    return;
  }
  // The file's identity before and after the read: the one the queue removes, and only if
  // nothing replaced it in between.
  std::optional<FileIdentity> read_from = IdentityOf(native);
  std::string text, err;
  if (!read_from || !files_.ReadAll(path, &text, &err) || IdentityOf(native) != read_from) {
    Report(job, (err.empty() ? native + " changed while it was read" : err) +
                    "; trying again at the next tick");
    return;
  }
  std::vector<std::vector<PrinterOp>> documents;
  if (!LayOutReceiptJob(cfg_.rf_model, text, &documents, &err)) {
    job.refused = true;
    Report(job, native + " is not printed: " + err + "; it is left as it is");
    return;
  }
  if (!printers_.ChooseInstalled(cfg_.RF_Stampante, &err))
    Report(job,
           err + ": the receipt prints on the current printer \"" + printers_.Current() + "\"");
  printers_.BeginBatch();
  for (const std::vector<PrinterOp>& page : documents) printers_.Apply(page);
  SourceFile source{native, *read_from};
  SubmitResult result = printers_.SubmitBatch(&source);
  if (!result.ok()) {
    job.retry_at = clock_.Now() + job.pause;
    job.pause = std::min(job.pause * 2, kMaxRetryPause);
    // The reason of each attempt is in the log already; the job's own line is said once.
    Report(job, native + " was not queued for printing: the job stays and is tried again");
    return;
  }
  if (result.source_removed) {
    job_.reset();
    return;
  }
  job.queued = true;
  Report(job, "the pages of " + native + " were queued, but the file stays (" + result.source_kept +
                  "): it is not queued again while it stays as it is");
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
