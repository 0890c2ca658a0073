#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/context.h"

namespace valico {

// One line of the installer's check: what was looked at, what was found and, when it is not
// right, what to do. Texts are Windows-1252 bytes, as every text of the settings.
struct DoctorLine {
  bool ok = false;
  std::string subject, found, todo;
};

// The installer's check of a till (`valico doctor`, "Strumenti > Verifica installazione"),
// one line per check: the program folder and the spool folders writable by this user;
// _Valico.ini readable, within the size bound, no temporary files left by a killed writer;
// Borea's _Local.ini where Borea_Setting wants it; each drive letter the settings use mapped
// to a folder; each serial port in use present and free; each printer the settings name
// installed and reachable; the fiscal driver program and what runs it; the FTP server's name;
// the scheduler's files; no other Valico on the folder; the log; the print queue and
// NonStampati/. Changes nothing; a port or a connection is opened only for its own check.
// `ctx` has its settings read (ReadSettings, or the running program's); `serving`: this
// program serves the folder (a tray program), false for the command.
std::vector<DoctorLine> RunDoctor(Context& ctx, bool serving);

// The lines as text, each "MARK subject: found" and, for a failed check, "; da fare: todo";
// the marks are the caller's, as each output shows them its own way.
std::string DoctorText(const std::vector<DoctorLine>& lines, std::string_view ok_mark,
                       std::string_view failed_mark);

// Whether every check passed.
bool AllPassed(const std::vector<DoctorLine>& lines);

// The window "Verifica installazione" of both tray programs: the check's text in a fixed-width
// font, "Aggiorna" (check again) and "Chiudi".
struct DoctorWindowText {
  static constexpr const char* kTitle = "Verifica installazione";
  static constexpr const char* kFont = "Courier New";
  static constexpr const char* kRefresh = "Aggiorna";
  static constexpr const char* kClose = "Chiudi";
};

}  // namespace valico
