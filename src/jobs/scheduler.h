#pragma once

#include <string>

#include "core/services.h"
#include "platform/clock.h"
#include "platform/regional.h"
#include "settings/config.h"
#include "settings/ini_store.h"

namespace valico {

// The slot key of a minute in _Schedulatore.ini: the weekday's name cut to three letters in
// capitals, "#", hour and minute as four digits ("SAB#0830" in Italian).
std::string SlotKey(const Regional& regional, const LocalTime& t);

// A slot value's first two "#"-ended fields: the operation code and the tag. Text after the
// last "#" is dropped, so a value without "#" has an empty code.
struct SlotFields {
  std::string code;
  std::string tag;
};
SlotFields SplitSlotValue(const std::string& value);

// The command line that opens one of Borea's databases (`database` with its leading "\",
// e.g. "\Zefiro.mde") in the database runtime with Borea's workgroup file.
std::string RuntimeCommandLine(const Config& cfg, const std::string& database);

// Text in capitals by the Windows-1252 code page (accented letters too).
std::string UpperCp1252(std::string text);

// Starts the scheduled job of the current minute (once a day per slot, remembered in
// OP_LAST) and the job requested with PRC_ACTIVE, writing the flags for Borea into its
// _Local.ini. The workstation role is the model's Postazione.
void OperazioniPianificate(const Services& svc, IniStore& ini, const Config& cfg);
// The same, as if the local time were `now`.
void OperazioniPianificateAt(const Services& svc, IniStore& ini, const Config& cfg,
                             const LocalTime& now);

}  // namespace valico
