#pragma once

#include <chrono>
#include <map>
#include <set>
#include <string>

#include "platform/clock.h"
#include "platform/diag_log.h"
#include "platform/files.h"
#include "settings/ini_store.h"

namespace valico {

class DeviceHandlers;

// The spools, as the system's intake names them: "MF" (fiscal register), "CR" (pre-bills),
// "RF" (receipt forms: moved and deleted, no device).
enum class SpoolKind { kFiscal, kPrebill, kReceipt };

// The spool flag of a kind: MF_Vuoto, Cort_Vuoto or RF_Vuoto.
const char* SpoolFlag(SpoolKind kind);

// The spool intake: moves the jobs of a drop folder into its intake folder, hands each to its
// device, deletes it, and opens the spool flag again. One Intake per drop folder; it remembers
// between passes how each waiting file looked, so that a file Borea is still writing is left
// alone until it has stopped changing.
class Intake {
 public:
  // At most this many jobs are handed off per pass; further files wait for the next pass.
  static constexpr int kMaxJobsPerPass = 101;
  // A file is taken only once it has looked the same for at least this long.
  static constexpr std::chrono::milliseconds kSettleTime{400};

  Intake(const Files& files, Clock& clock, DiagLog& log, IniStore& ini, DeviceHandlers& devices)
      : files_(files), clock_(clock), log_(log), ini_(ini), devices_(devices) {}

  // One pass. Ends by writing the kind's spool flag "-1" into `file_ini`: the one place a
  // pass opens its spool again.
  void PrelevaSpool(std::string cartella_origine, const std::string& file_ini,
                    std::string cartella_destinazione, SpoolKind tipo);

 private:
  struct Sighting {
    FileStamp stamp;
    std::chrono::steady_clock::time_point since;
  };
  bool IsSettled(const std::string& path, std::map<std::string, Sighting>& seen_now);
  void EnsureFolder(const std::string& folder);

  const Files& files_;
  Clock& clock_;
  DiagLog& log_;
  IniStore& ini_;
  DeviceHandlers& devices_;
  std::map<std::string, Sighting> seen_;  // drop-folder path -> how and since when it looked so
  std::set<std::string> unnamed_;         // names a Windows path cannot hold, already logged
};

}  // namespace valico
