#pragma once

#include <string>

#include "shell/app.h"

namespace valico::gui {

// The program as shops run it on Windows: the start-up sequence, the configuration window
// hidden at once behind a tray icon, the device work from the window's 500 ms timer (and at
// once when a job arrives), until "Esci" or the close box ends it. One copy per program folder:
// a second start on the same folder shows the running copy's window and ends. Where no window
// can be made (no desktop) it serves the devices as `run` does. Exit status 0.
int RunTrayProgram(const MachineOptions& options);

// The registered message by which a start asks the copy running on `folder` for its window.
std::string ShowWindowMessageName(const std::string& folder);

}  // namespace valico::gui
