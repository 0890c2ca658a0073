#pragma once

#include <windows.h>

namespace valico::gui {

// Makes the configuration window's group boxes, labels, controls, buttons and menu bar from
// the window layout, in the dialog's font, with the identifiers of control_ids.h, in the
// layout's order (which is the Tab order), and sizes the window to hold them.
void BuildMainWindow(HWND dialog);

}  // namespace valico::gui
