#include "spool/spool_folders.h"

#include "core/context.h"

namespace valico {

void PreparaCartelle(Context& ctx) {
  for (const char* flag : {"MF_Vuoto", "RF_Vuoto", "Cort_Vuoto"})
    ctx.ini.ScriviVarie(flag, TypedValue::FromFlag(true));

  const Files& files = ctx.svc.files;
  for (const char* name : {"CortBorea", "CortIN", "Borea", "IN"}) {
    std::string folder = ctx.InProgramFolder(name);
    std::string err;
    if (!files.IsFolder(folder)) {
      if (!files.CreateFolder(folder, &err)) ctx.svc.log.Error(err);
      continue;
    }
    std::vector<std::string> names = files.ListFiles(folder, &err);
    if (!err.empty()) ctx.svc.log.Error(err);
    if (!names.empty())
      ctx.svc.log.Info("start-up: discarding " + std::to_string(names.size()) +
                       " job(s) left in " + folder);
    for (const std::string& n : names) {
      if (!files.Remove(JoinPath(folder, n), &err)) ctx.svc.log.Warn(err);
    }
  }
}

}  // namespace valico
