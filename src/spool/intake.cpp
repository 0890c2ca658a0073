#include "spool/intake.h"

#include <exception>
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

bool Intake::IsSettled(const std::string& path, std::map<std::string, Sighting>& seen_now) {
  auto stamp = files_.Stamp(path);
  if (!stamp) return false;
  auto now = clock_.Now();
  auto it = seen_.find(path);
  Sighting s{*stamp, now};
  if (it != seen_.end() && it->second.stamp == *stamp) s.since = it->second.since;
  seen_now[path] = s;
  return now - s.since >= kSettleTime;
}

void Intake::PrelevaSpool(std::string origine, const std::string& file_ini,
                          std::string destinazione, SpoolKind tipo) {
  const Files& files = files_;
  DiagLog& log = log_;
  EnsureFolder(origine);
  EnsureFolder(destinazione);
  if (origine.empty() || origine.back() != '\\') origine += '\\';
  if (destinazione.empty() || destinazione.back() != '\\') destinazione += '\\';

  // Take every settled file before the first hand-off: a job dropped during the hand-offs
  // waits for the next pass.
  std::string err;
  std::vector<std::string> jobs;
  std::map<std::string, Sighting> seen_now;
  std::set<std::string> unnamed_now;
  for (const std::string& name : files.ListFiles(origine, &err)) {
    // A name holding a backslash (possible on Linux) has no Windows path: the file stays,
    // and the log says why once for as long as it stays.
    if (name.find('\\') != std::string::npos) {
      if (!unnamed_.count(name))
        log.Warn("job file \"" + name + "\" in " + origine + " is not taken: a backslash in its " +
                 "name cannot stand in a Windows path; rename it");
      unnamed_now.insert(name);
      continue;
    }
    std::string from = origine + name;
    if (!IsSettled(from, seen_now)) continue;
    if (static_cast<int>(jobs.size()) >= kMaxJobsPerPass) continue;
    std::string to = destinazione + name;
    if (files.Exists(to) && !files.Remove(to, &err)) log.Warn(err);
    if (!files.Rename(from, to, &err)) {
      // Still held by its writer, or the intake folder refuses it: try again next pass.
      log.Warn(err);
      continue;
    }
    seen_now.erase(from);
    jobs.push_back(to);
  }
  seen_ = std::move(seen_now);
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
      log.Error("hand-off of " + job + " failed: " + e.what());
    }
    // The device may have deleted the job itself already.
    if (files.Exists(job) && !files.Remove(job, &err)) log.Warn(err);
  }
  ini_.ScriviVarie(SpoolFlag(tipo), TypedValue::FromFlag(true), file_ini);
}

}  // namespace valico
