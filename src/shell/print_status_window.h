#pragma once

#include <string>

#include "core/context.h"
#include "shell/service.h"

namespace valico {

// The window "Stato stampe", opened from the menu "Strumenti" of both tray programs: the
// status report in a box of several lines in a fixed-width font, and the buttons "Aggiorna"
// (the report again), "Ristampa" (every document of NonStampati back into the print queue)
// and "Chiudi".
struct PrintStatusWindowText {
  static constexpr const char* kTitle = "Stato stampe";
  static constexpr const char* kFont = "Courier New";
  static constexpr const char* kRefresh = "Aggiorna";  // button cmdAggiorna
  static constexpr const char* kReprint = "Ristampa";  // button cmdRistampa
  static constexpr const char* kClose = "Chiudi";      // button cmdChiudi
};

// The window's text in the program that serves the folder: its status file is written first,
// so the report tells what the program knows now. `ticks` is null before the load ended.
std::string ServingStatusText(Context& ctx, ServiceTicks* ticks);

// "Ristampa": every document of NonStampati/ goes back into the print queue of this program;
// then the report, below a line per document saying whether it was queued and why not.
std::string ReprintAllFromWindow(Context& ctx, ServiceTicks* ticks);

}  // namespace valico
