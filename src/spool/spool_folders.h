#pragma once

#include <string>

#include "platform/diag_log.h"
#include "platform/files.h"
#include "settings/ini_store.h"

namespace valico {

// Start-up preparation of the spools: every spool flag is written open ("-1") into the
// store's _Valico.ini, and each of the folders CortBorea, CortIN, Borea and IN under
// `program_folder` is created when missing or emptied of its files (jobs dropped while Valico
// was not running are discarded).
void PreparaCartelle(IniStore& ini, const Files& files, DiagLog& log,
                     const std::string& program_folder);

}  // namespace valico
