#pragma once

namespace valico {

struct MachineOptions;

// The desktop tray program, where it is built in: runs until the user ends it. `argc`/`argv`
// are the whole command line, for the toolkit.
using GuiProgram = int (*)(const MachineOptions& machine, int argc, char** argv);

// Valico's command line: global machine options, then a command. Without one: `gui` when the
// tray program is at hand (`gui` given here, or the program valico-gui beside this one) and a
// desktop session is present (DISPLAY or WAYLAND_DISPLAY), else `run`.
int RunCommandLine(int argc, char** argv, GuiProgram gui = nullptr);

}  // namespace valico
