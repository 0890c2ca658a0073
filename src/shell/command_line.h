#pragma once

#include "shell/app.h"

namespace valico {

// What a start without a command runs: on Windows the tray program.
using NoCommand = int (*)(const MachineOptions& machine);

// Valico's command line: global machine options, then a command. Without a command it runs
// `no_command`, or the headless service when there is none.
int RunCommandLine(int argc, char** argv, NoCommand no_command = nullptr);

}  // namespace valico
