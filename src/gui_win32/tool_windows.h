#pragma once

#include <windows.h>

#include <functional>

#include "config_ui/main_window.h"
#include "core/context.h"
#include "shell/service.h"

namespace valico::gui {

// What the tool windows work with, and whom they tell that they closed.
struct ToolHost {
  Context& ctx;
  Dialogs& dialogs;
  std::function<void(ToolWindow)> closed;
  ServiceTicks* ticks = nullptr;  // the program's service, once the load has ended
};

// Creates and shows a tool window (the About box, "TEST Epson TM-U295", "Elenco Porte
// Stampanti", "Stato stampe"): modeless and without an owner, so the main window stays usable and
// may even be unloaded while it is open. Null when it could not be created.
HWND OpenToolWindow(ToolWindow tool, ToolHost& host);

}  // namespace valico::gui
