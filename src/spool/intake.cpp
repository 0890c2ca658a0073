#include "spool/intake.h"

#include <exception>
#include <vector>

#include "core/context.h"
#include "spool/device_handlers.h"

namespace valico {
namespace {

const char* FlagOf(const std::string& tipo) {
  if (tipo == "MF") return "MF_Vuoto";
  if (tipo == "RF") return "RF_Vuoto";
  return "Cort_Vuoto";
}

void EnsureFolder(Context& ctx, const std::string& folder) {
  std::string err;
  if (!ctx.svc.files.IsFolder(folder) && !ctx.svc.files.CreateFolder(folder, &err))
    ctx.svc.log.Error(err);
}

}  // namespace

bool Intake::IsSettled(const std::string& path, std::map<std::string, Sighting>& seen_now) {
  auto stamp = ctx_.svc.files.Stamp(path);
  if (!stamp) return false;
  auto now = ctx_.svc.clock.Now();
  auto it = seen_.find(path);
  Sighting s{*stamp, now};
  if (it != seen_.end() && it->second.stamp == *stamp) s.since = it->second.since;
  seen_now[path] = s;
  return now - s.since >= kSettleTime;
}

void Intake::PrelevaSpool(std::string origine, const std::string& file_ini,
                          std::string destinazione, const std::string& tipo) {
  const Files& files = ctx_.svc.files;
  DiagLog& log = ctx_.svc.log;
  EnsureFolder(ctx_, origine);
  EnsureFolder(ctx_, destinazione);
  if (origine.empty() || origine.back() != '\\') origine += '\\';
  if (destinazione.empty() || destinazione.back() != '\\') destinazione += '\\';

  // Take every settled file before the first hand-off: a job dropped during the hand-offs
  // waits for the next pass.
  std::string err;
  std::vector<std::string> jobs;
  std::map<std::string, Sighting> seen_now;
  for (const std::string& name : files.ListFiles(origine, &err)) {
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

  for (const std::string& job : jobs) {
    try {
      if (tipo == "MF") {
        devices_.InviaFileMF(job);
      } else if (tipo == "CR") {
        devices_.LanciaFileCort(job);
      }
    } catch (const std::exception& e) {
      // A failed hand-off must not keep the rest of the pass from its devices.
      log.Error("hand-off of " + job + " failed: " + e.what());
    }
    // The device may have deleted the job itself already.
    if (files.Exists(job) && !files.Remove(job, &err)) log.Warn(err);
  }
  ctx_.ini.ScriviVarie(FlagOf(tipo), TypedValue::FromFlag(true), file_ini);
}

}  // namespace valico
