#pragma once

#include <memory>
#include <string>

#include "platform/diag_log.h"
#include "platform/dialogs.h"
#include "platform/file_identity.h"
#include "platform/files.h"
#include "platform/regional.h"
#include "printing/document.h"
#include "printing/printers.h"
#include "settings/config.h"

namespace valico {

// The pre-bill models that print through a printer installed in the platform's printing
// system. Each takes the job's full path, and returns false only when something of the job
// was neither queued, printed nor kept (a full disk): the job file is then left for the
// intake to take again.
class PrebillRenderer {
 public:
  virtual ~PrebillRenderer() = default;
  virtual bool StampaCortOlivetti(const std::string& job) = 0;  // plain lines
  virtual bool StampaCortSamsung(const std::string& job) = 0;   // field format
  virtual bool StampaCortSolipos(const std::string& job) = 0;   // N:SCO:TXT:
};

// The printer attached to the port in Cort_Com becomes the program's current printer, and
// each job goes to it through the printer model: device fonts, the driver's control and
// barcode fonts, the logo. Every step that fails is left out and the diagnostic log says why;
// what the shop sees is told with each routine.
class InstalledPrinterPrebill : public PrebillRenderer {
 public:
  InstalledPrinterPrebill(const Config& cfg, const Regional& regional, const Files& files,
                          Printers& printers, Dialogs& dialogs, DiagLog& log)
      : cfg_(cfg),
        regional_(regional),
        files_(files),
        printers_(printers),
        dialogs_(dialogs),
        log_(log) {}

  // Every line in "FontA11" without its "§D" marks, then the end of the document; the job is
  // deleted. No printer on the port: the current printer prints it.
  bool StampaCortOlivetti(const std::string& job) override;

  // The field format on the printer on port "COM" + Cort_Com (exactly), in the family its
  // device name gives: the logo "LogoCassa.bmp" of Borea's folder as a print job of its own
  // when Cort_Logo is set, then the lines, each end-of-receipt line ending one document; text
  // after the last one stays in the open document. No printer on the port: the message
  // "Stampante NON trovata" and nothing printed. A job file that cannot be read (or, in
  // families 350 and 103, a logo that cannot be loaded) prints the error line
  // "ERRORE: file scontrino mancante o errato!" instead. Families 350 and 103 delete the job.
  bool StampaCortSamsung(const std::string& job) override;

  // The "N:SCO:TXT:" lines in "Courier New" 9, then the end of the document; the job is
  // deleted. No printer on the port: the current printer prints it.
  bool StampaCortSolipos(const std::string& job) override;

 private:
  struct JobLines {
    bool read = false;
    std::string err;
    std::vector<std::string> lines;
  };
  JobLines ReadJob(const std::string& job);
  void ChoosePrinterOrCurrent(const std::string& port, const std::string& job);
  std::shared_ptr<const Bitmap> LoadLogo(std::string* err);
  void PrintLogo(std::shared_ptr<const Bitmap> logo);
  bool PrintSamsung(const std::string& job);
  bool PrintErrorLine(const std::string& job, const std::string& why);
  void RemoveJob(const std::string& job);
  void BeginJob(const std::string& job);
  bool Finish(const std::string& job, bool remove);

  const Config& cfg_;
  const Regional& regional_;
  const Files& files_;
  Printers& printers_;
  Dialogs& dialogs_;
  DiagLog& log_;
  std::optional<FileIdentity> job_read_from_;  // the job file as the job began
};

}  // namespace valico
