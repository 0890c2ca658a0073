#include "spool/spool_folders.h"

namespace valico {

void PreparaCartelle(IniStore& ini, const Files& files, DiagLog& log,
                     const std::string& program_folder) {
  for (const char* flag : {"MF_Vuoto", "RF_Vuoto", "Cort_Vuoto"})
    ini.ScriviVarie(flag, TypedValue::FromFlag(true));

  for (const char* name : {"CortBorea", "CortIN", "Borea", "IN"}) {
    std::string folder = JoinPath(program_folder, name);
    std::string err;
    if (!files.IsFolder(folder)) {
      if (!files.CreateFolder(folder, &err)) log.Error(err);
      continue;
    }
    std::vector<std::string> names = files.ListFiles(folder, &err);
    if (!err.empty()) log.Error(err);
    if (!names.empty())
      log.Info("start-up: discarding " + std::to_string(names.size()) + " job(s) left in " +
               files.Native(folder));
    for (const std::string& n : names) {
      if (!files.Remove(JoinPath(folder, n), &err)) log.Warn(err);
    }
  }
}

}  // namespace valico
