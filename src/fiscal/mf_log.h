#pragma once

#include <string>

#include "platform/clock.h"
#include "platform/diag_log.h"
#include "platform/files.h"

namespace valico {

// The fiscal hand-off log: a fixed path, mapped like every settings path.
inline constexpr char kMFLog[] = "c:\\Valico\\MF.log";

// "dd/mm/yyyy hh:nn", two digits each but for the four-digit year, 24-hour clock.
std::string MFLogTimeStamp(const LocalTime& t);

// Appends one line "dd/mm/yyyy hh:nn - <messaggio>" CR LF to `file_log` at the clock's local
// time, creating the file when missing; the file is opened and closed for this line alone.
// A line that cannot be written (no such folder) is skipped, and the reason goes to the
// diagnostic log.
void ScriviLog(const Files& files, Clock& clock, DiagLog& log, const std::string& file_log,
               const std::string& messaggio);

}  // namespace valico
