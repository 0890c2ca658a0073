#pragma once

#include "shell/app.h"

namespace valico {

// `valico gui`: the tray program on the desktop, with the machine's options, until the user
// ends it ("Esci", the close box) or the session asks it to stop (SIGTERM, SIGINT). Exit
// status 1 when another Valico already serves the program folder.
int RunQtGui(const MachineOptions& machine);

}  // namespace valico
