#pragma once

#include "shell/command_line.h"

namespace valico {

// The Linux desktop program, valico-gui, beside the headless valico: built where Qt is found,
// so that valico itself never loads Qt.

// Replaces this process with the desktop program, given the same machine options and the
// command `gui`. Returns only when it could not be started: exit status 1, and the reason on
// standard error (when it is not installed: the package that holds it).
int StartDesktopProgram(const MachineOptions& machine);

// What valico runs without a command: the desktop program in a desktop session (DISPLAY or
// WAYLAND_DISPLAY set) when it is there beside valico; otherwise none, which is the service.
NoCommand DesktopProgramIfAny();

}  // namespace valico
