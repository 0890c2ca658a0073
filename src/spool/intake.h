#pragma once

#include <chrono>
#include <map>
#include <string>

#include "platform/files.h"

namespace valico {

class Context;
class DeviceHandlers;

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

  Intake(Context& ctx, DeviceHandlers& devices) : ctx_(ctx), devices_(devices) {}

  // One pass. `tipo` is "MF" (fiscal register), "CR" (pre-bills) or "RF" (no device).
  void PrelevaSpool(std::string cartella_origine, const std::string& file_ini,
                    std::string cartella_destinazione, const std::string& tipo);

 private:
  struct Sighting {
    FileStamp stamp;
    std::chrono::steady_clock::time_point since;
  };
  bool IsSettled(const std::string& path, std::map<std::string, Sighting>& seen_now);

  Context& ctx_;
  DeviceHandlers& devices_;
  std::map<std::string, Sighting> seen_;  // drop-folder path -> how and since when it looked so
};

}  // namespace valico
