#pragma once

#include <string>

#include "platform/clock.h"
#include "platform/diag_log.h"
#include "platform/files.h"
#include "platform/processes.h"
#include "settings/config.h"

namespace valico {

// Hands fiscal jobs to the register's driver, by the protocol MF_Prot names, with the files,
// clock and process starter of the machine. Holds nothing between jobs.
class FiscalHandOff {
 public:
  FiscalHandOff(const Config& cfg, const Files& files, Clock& clock, DiagLog& log,
                Processes& processes)
      : cfg_(cfg), files_(files), clock_(clock), log_(log), processes_(processes) {}

  // Hands one fiscal job (the full path of a file in the intake folder) to the driver,
  // waiting on the driver where the protocol needs it:
  //   CASIO/DITRON: waits up to six delays of MF_Ritardo for the driver to take MF_File, then
  //     one more delay (none for a "...DLY_ZIP.TXT" job) and copies the job over MF_File; a
  //     job whose MF_File stays busy is dropped.
  //   GLOBE DRIVER: copies the job over MF_File, starts MF_Driver and gives it up to 102
  //     delays to write MF_File_Output; deletes the output when it came, withdraws MF_File
  //     when not. A driver that cannot be started, or a job that cannot be copied, is not
  //     waited for.
  //   FPMate: moves the lowest buffered receipt (MF_Buffer) or MF_File to Epson\Scontr.xml.
  // Any other protocol hands nothing on. Writes the hand-off log while MF_ChkLog is set.
  // Leaves the job file where it is: the intake deletes it.
  void InviaFileMF(const std::string& file_lavoro);

  // Moves buffered receipts, slot 1 to 20 of DirBorea\_Buffer (files #0001 ... #0020), to
  // cartella\nome_file while that file is free: one receipt per call unless the driver takes
  // it at once. The other slots wait for later calls.
  void ScaricaBufferMF(const std::string& nome_file, const std::string& cartella);

 private:
  void InviaCasio(const std::string& job);
  void InviaGlobe(const std::string& job);
  void InviaFPMate();
  void Log(const std::string& message);
  void Warn(const std::string& what, const std::string& err);
  void CopyOver(const std::string& from, const std::string& to);
  void RemoveIfThere(const std::string& path);

  const Config& cfg_;
  const Files& files_;
  Clock& clock_;
  DiagLog& log_;
  Processes& processes_;
};

}  // namespace valico
