#include "spool/spool_folders.h"

#include "platform/file_identity.h"

namespace valico {
namespace {

// Pre-bills an interrupted run had taken into CortIN no longer than this ago (a crash, a kill,
// the service restarted at once) are taken again rather than lost; older ones are stale.
constexpr std::int64_t kRecentTakeMs = 10 * 60 * 1000;

void EnsureFolder(const Files& files, DiagLog& log, const std::string& folder) {
  std::string err;
  if (!files.IsFolder(folder) && !files.CreateFolder(folder, &err)) log.Error(err);
}

// Empties a spool folder of its files; with `again`, moves those the last run took lately
// there instead (it is empty by then).
void Empty(const Files& files, DiagLog& log, const std::string& folder, const std::string* again) {
  std::string err;
  std::vector<std::string> names = files.ListFiles(folder, &err);
  if (!err.empty()) log.Error(err);
  int discarded = 0, taken_again = 0;
  for (const std::string& n : names) {
    std::string path = JoinPath(folder, n);
    std::optional<FileIdentity> id = IdentityOf(files.Native(path));
    if (again && id && AgeMs(*id) < kRecentTakeMs &&
        files.Rename(path, JoinPath(*again, n), &err)) {
      ++taken_again;
      continue;
    }
    ++discarded;
    if (!files.Remove(path, &err)) log.Warn(err);
  }
  if (discarded > 0)
    log.Info("start-up: discarding " + std::to_string(discarded) + " job(s) left in " +
             files.Native(folder));
  if (taken_again > 0)
    log.Warn("start-up: " + std::to_string(taken_again) + " pre-bill job(s) of " +
             files.Native(folder) +
             " that the last run had taken and not finished are taken again from " +
             files.Native(*again));
}

}  // namespace

void PreparaCartelle(IniStore& ini, const Files& files, DiagLog& log,
                     const std::string& program_folder) {
  for (const char* flag : {"MF_Vuoto", "RF_Vuoto", "Cort_Vuoto"})
    ini.ScriviVarie(flag, TypedValue::FromFlag(true));

  // A drop folder is emptied before its taken folder may move jobs back into it.
  for (const SpoolPair& spool : {kPrebillSpool, kFiscalSpool}) {
    const std::string drop = JoinPath(program_folder, spool.drop);
    const std::string taken = JoinPath(program_folder, spool.taken);
    EnsureFolder(files, log, drop);
    Empty(files, log, drop, nullptr);
    EnsureFolder(files, log, taken);
    Empty(files, log, taken, std::string_view(spool.drop) == kPrebillSpool.drop ? &drop : nullptr);
  }
}

}  // namespace valico
