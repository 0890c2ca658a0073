#include "spool/intake.h"

#include <exception>
#include <filesystem>
#include <set>
#include <vector>

#include "spool/device_handlers.h"

namespace valico {

const char* SpoolFlag(SpoolKind kind) {
  switch (kind) {
    case SpoolKind::kFiscal:
      return "MF_Vuoto";
    case SpoolKind::kReceipt:
      return "RF_Vuoto";
    case SpoolKind::kPrebill:
      break;
  }
  return "Cort_Vuoto";
}

void Intake::EnsureFolder(const std::string& folder) {
  std::string err;
  if (!files_.IsFolder(folder) && !files_.CreateFolder(folder, &err)) log_.Error(err);
}

void Intake::PrelevaSpool(std::string origine, const std::string& file_ini,
                          std::string destinazione, SpoolKind tipo) {
  const Files& files = files_;
  DiagLog& log = log_;
  const std::string drop = files.Native(origine);
  watch_.Follow(drop);
  stopped_at_cap_ = false;
  if (!watch_.TakeChange(drop) && !left_behind_) {
    // Nothing arrived since a pass that left nothing behind: no job to take.
    settings_.ScriviVarie(SpoolFlag(tipo), TypedValue::FromFlag(true), file_ini);
    return;
  }
  EnsureFolder(origine);
  EnsureFolder(destinazione);
  if (origine.empty() || origine.back() != '\\') origine += '\\';
  if (destinazione.empty() || destinazione.back() != '\\') destinazione += '\\';

  // Take every whole file before the first hand-off: a job dropped during the hand-offs
  // waits for the next pass.
  std::string err;
  std::vector<std::string> names = files.ListFiles(origine, &err);
  left_behind_ = !err.empty();  // a listing cut short is tried again
  if (refused_.size() > 1000) refused_.clear();
  std::vector<std::string> jobs;
  std::set<std::string> unnamed_now;
  for (const std::string& name : names) {
    if (static_cast<int>(jobs.size()) >= kMaxJobsPerPass) {
      stopped_at_cap_ = left_behind_ = true;
      break;
    }
    // A name holding a backslash (possible on Linux) has no Windows path: the file stays,
    // and the log says why once for as long as it stays.
    if (name.find('\\') != std::string::npos) {
      if (!unnamed_.count(name))
        log.Warn("job file \"" + name + "\" in " + drop + " is not taken: a backslash in its " +
                 "name cannot stand in a Windows path; rename it");
      unnamed_now.insert(name);
      continue;
    }
    if (!watch_.IsWhole((std::filesystem::path(drop) / name).string())) {
      left_behind_ = true;  // still being written: looked at again at every pass
      continue;
    }
    std::string from = origine + name;
    std::string to = destinazione + name;
    if (files.Exists(to) && !files.Remove(to, &err)) log.Warn(err);
    if (!files.Rename(from, to, &err)) {
      // Still held by its writer, or the intake folder refuses it: try again next pass.
      left_behind_ = true;
      if (refused_.insert(name).second) log.Warn(err + "; it is tried again at every pass");
      continue;
    }
    refused_.erase(name);
    jobs.push_back(to);
  }
  if (stopped_at_cap_)  // names past the cap were not looked at: keep what was said of them
    unnamed_.insert(unnamed_now.begin(), unnamed_now.end());
  else
    unnamed_ = std::move(unnamed_now);

  for (const std::string& job : jobs) {
    try {
      switch (tipo) {
        case SpoolKind::kFiscal:
          devices_.InviaFileMF(job);
          break;
        case SpoolKind::kPrebill:
          devices_.LanciaFileCort(job);
          break;
        case SpoolKind::kReceipt:
          break;  // no device takes a receipt job here
      }
    } catch (const std::exception& e) {
      // A failed hand-off must not keep the rest of the pass from its devices.
      log.Error("hand-off of " + files.Native(job) + " failed: " + e.what());
    }
    // The device may have deleted the job itself already.
    if (files.Exists(job) && !files.Remove(job, &err)) log.Warn(err);
  }
  // Another program may have written the flag during the hand-offs: it is opened all the same.
  if (!jobs.empty()) settings_.Refresh();
  settings_.ScriviVarie(SpoolFlag(tipo), TypedValue::FromFlag(true), file_ini);
}

}  // namespace valico
