#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "printing/document.h"

namespace valico {

// Where the GDI renderer draws: a device context whose origin (0, 0) is the top left of the
// printable area, as it is on a printer DC and on a metafile DC.
struct GdiCanvas {
  HDC dc = nullptr;
  // The printable height in device units; 0 for one endless page (a receipt-roll preview).
  int page_height = 0;
  // Ends the current page and starts the next one (EndPage, StartPage). False, with the
  // reason, when the device refused.
  std::function<bool(std::string* err)> new_page;
};

// What a rendering left behind besides the drawing.
struct GdiRenderResult {
  int bottom = 0;                  // lowest device y drawn on, on any page
  std::vector<std::string> notes;  // operations left out, each with the reason
};

// Draws a document's operations with GDI: device and outline fonts by face name, bold, text
// colour, lines at the current position, bitmaps. A bad bitmap is left out with a note; false,
// with the reason, when the device refused to draw a text or to start a page, which breaks the
// job. The DC's state is restored before it returns.
bool RenderWithGdi(const std::vector<PrinterOp>& ops, const GdiCanvas& canvas,
                   GdiRenderResult* result, std::string* err);

// The LOGFONT height for a size in points on a device of `dpi_y` pixels per inch: negative (a
// character height, as point sizes are), rounded only at the end; 0 (the device's default
// size) for a size that is not a positive number.
int GdiFontHeight(double points, int dpi_y);

}  // namespace valico
