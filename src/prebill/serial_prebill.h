#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/diag_log.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/regional.h"
#include "platform/serial_control.h"
#include "settings/config.h"

namespace valico {

// Bytes of the serial pre-bill printer.
inline constexpr std::string_view kPrebillLineEnd = "\r\n";
inline constexpr std::string_view kPrebillBlankLine = " \r\n";
inline constexpr std::string_view kPrebillCut = "\x1bm";
inline constexpr std::string_view kPrebillTestText = "ambaraBA CICI COCO TRE CIVETTE";

// The serial pre-bill printer ("DPT-282") on its port COMPreconto, set up from Cort_Com and
// Cort_Sett of the model.
class SerialPrebill {
 public:
  SerialPrebill(const Config& cfg, const Regional& regional, SerialControl& port,
                const Files& files, DiagLog& log, Dialogs& dialogs)
      : cfg_(cfg), regional_(regional), port_(port), files_(files), log_(log), dialogs_(dialogs) {}

  // Sets up the port: number from Cort_Com (a value that is not a number leaves the port as
  // it was), settings Cort_Sett, buffers 2048 in and 1024 out.
  void SetUpComPreconto();

  // Sends the text of the job's "N2" lines, each with CR LF, then five blank lines and the
  // cut (in one write when they fit the port's output buffer), closes the port (see
  // KeepPortOpenDuringPass) and deletes the job. Reports nothing: a port that does not open
  // sends nothing, an unreadable job sends only the blank lines and the cut; the diagnostic
  // log says why.
  void StampaCortDPT(const std::string& job);

  // The service sends the pre-bills of one pass of the spool on one opening of the port (a
  // burst of a hundred costs one open, not a hundred): with `keep`, a job that went out leaves
  // the port open and set up for the next, and EndOfPass closes it.
  void KeepPortOpenDuringPass(bool keep) { keep_open_ = keep; }
  void EndOfPass() { port_.Close(); }

  // The installer's test print: the test text, five blank lines and the cut. The first step
  // that fails (the port number from Cort_Com first) ends the test with the message
  // "Errore: " and the reason; the port is closed in every case. True when every byte went out.
  bool Command1_Click();

 private:
  // Cort_Com as a port number; empty, with the reason in *why, when it is not one.
  std::optional<std::int16_t> PortNumber(std::string* why) const;

  const Config& cfg_;
  const Regional& regional_;
  SerialControl& port_;
  const Files& files_;
  DiagLog& log_;
  Dialogs& dialogs_;
  bool keep_open_ = false;
};

}  // namespace valico
