#pragma once

#include "core/context.h"

namespace valico {

// The start-up sequence of the main window's load, without the window: the settings file's
// path, the spool folders and flags, Borea's folder, the device lists and the imports from
// Borea, the workstation roles, and the load of _Valico.ini.
void StartUp(Context& ctx);

// The start-up sequence without the spools (their folders and flags are left alone), for the
// one-shot commands that may run beside a running service.
void LoadSettings(Context& ctx);

// The settings as _Valico.ini holds them, without the imports from Borea and without the
// spools: nothing is written, for the installer's check.
void ReadSettings(Context& ctx);

// The exit sequence of the headless service: the display port is closed.
void ShutDown(Context& ctx);

}  // namespace valico
