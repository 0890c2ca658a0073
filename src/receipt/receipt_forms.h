#pragma once

#include <chrono>
#include <optional>
#include <set>
#include <string>

#include "config_ui/form_model.h"
#include "platform/clock.h"
#include "platform/diag_log.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/folder_watch.h"
#include "printing/printers.h"
#include "settings/config.h"

namespace valico {

// Receipt forms on the slip printer: lays the job in RF_File out in the layout of the model that
// RF_Stampante names and queues its pages, in order and as one job, for the installed printer
// of that name (else the current one). The print queue removes the file once the pages are
// durably queued, if it is still the file that was read; a file replaced meanwhile stays for
// the next pass. A job stays in place while Borea is still writing it and while it cannot be
// queued, and the log gives the reason once per job; a job queued but not removed is not
// queued twice. A job is told from the next by its size and time stamp.
class ReceiptForms {
 public:
  // After a job that could not be queued, it waits this long before it is tried again,
  // twice as long after each further failure, up to kMaxRetryPause.
  static constexpr std::chrono::seconds kRetryPause{1};
  static constexpr std::chrono::seconds kMaxRetryPause{60};

  ReceiptForms(const Config& cfg, const Files& files, Clock& clock, FolderWatch& watch,
               DiagLog& log, Printers& printers)
      : cfg_(cfg), files_(files), clock_(clock), watch_(watch), log_(log), printers_(printers) {}

  // One look at the receipt job file, from the polling cycle. An unknown model leaves the
  // file alone; so does a job that is refused or not (yet) printed.
  void LanciaFileRF();

 private:
  struct Job {
    explicit Job(FileStamp s) : stamp(s) {}
    FileStamp stamp;
    bool queued = false;   // queued, and its file could not be removed: not queued again
    bool refused = false;  // not a receipt job this build prints: left as it is
    std::chrono::steady_clock::time_point retry_at{};
    std::chrono::seconds pause = kRetryPause;
    std::set<std::string> reported;
  };
  void QueueJob(Job& job);
  void Report(Job& job, const std::string& message);

  const Config& cfg_;
  const Files& files_;
  Clock& clock_;
  FolderWatch& watch_;
  DiagLog& log_;
  Printers& printers_;
  std::optional<Job> job_;  // the job last seen in RF_File
};

// Fills the choices of the receipt printer combos RF_Printer and RF_PRINTER_2 with the device
// names of the installed printers, in the system's order. When the printers cannot be listed:
// the message "Errore: " and the reason, and no choices.
void RF_StartUP_Valori(Printers& printers, FormModel& form, Dialogs& dialogs);

}  // namespace valico
