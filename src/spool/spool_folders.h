#pragma once

#include <string>

#include "platform/diag_log.h"
#include "platform/files.h"
#include "settings/ini_store.h"

namespace valico {

// A device's two spool folders under the program folder.
struct SpoolPair {
  const char* drop;   // Borea writes its jobs here
  const char* taken;  // a job moves here while Valico hands it to the device
};
inline constexpr SpoolPair kFiscalSpool{"Borea", "IN"};
inline constexpr SpoolPair kPrebillSpool{"CortBorea", "CortIN"};

// Start-up preparation of the spools: every spool flag is written open ("-1") into the
// store's _Valico.ini, and each of the folders CortBorea, CortIN, Borea and IN under
// `program_folder` is created when missing or emptied of its files (jobs dropped while Valico
// was not running are discarded). Pre-bills the last run took into CortIN within the last ten
// minutes and did not finish (a crash, a kill) go back to CortBorea, to be taken again: the
// print queue removes a pre-bill's file as it queues it, so none of them was queued.
void PreparaCartelle(IniStore& ini, const Files& files, DiagLog& log,
                     const std::string& program_folder);

}  // namespace valico
