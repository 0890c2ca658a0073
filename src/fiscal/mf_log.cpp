#include "fiscal/mf_log.h"

#include <cstdio>

namespace valico {

std::string MFLogTimeStamp(const LocalTime& t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d/%02d/%04d %02d:%02d", t.day, t.month, t.year, t.hour,
                t.minute);
  return buf;
}

void ScriviLog(const Files& files, Clock& clock, DiagLog& log, const std::string& file_log,
               const std::string& messaggio) {
  std::string line = MFLogTimeStamp(clock.LocalNow()) + " - " + messaggio + "\r\n";
  std::string err;
  if (!files.Append(file_log, line, &err))
    log.Warn("fiscal log line not written (" + err + "): " + messaggio);
}

}  // namespace valico
