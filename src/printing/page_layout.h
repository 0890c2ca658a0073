#pragma once

#include <memory>
#include <string>
#include <vector>

#include "printing/device_fonts.h"
#include "printing/document.h"
#include "printing/printer_profile.h"

namespace valico {

// What the paper of one document would show, in printer dots from the top left of the
// printable area: the pieces a drawing backend paints, already placed.
struct PageLayout {
  struct Text {
    int x = 0, y = 0;     // top left of the first character's cell
    double advance = 12;  // dots from one character to the next
    double spacing = 0;   // dots of that advance left blank after each character
    int height = 24;      // dots of one character's cell
    bool bold = false, red = false;
    std::string text;  // Windows-1252 bytes, control bytes already blanks
  };
  struct Bars {
    int x = 0, y = 0;
    int module = 2;       // dots per module
    int height = 45;      // dots of the bars
    std::string modules;  // '1' bar, '0' space
    std::string digits;   // printed below the bars when not empty
  };
  struct Image {
    int x = 0, y = 0;
    int width = 0;  // dots drawn: the picture's width, clipped to the printable width
    int picture_width = 0, height = 0;  // dots of the whole picture in its own size
    std::shared_ptr<const Bitmap> bitmap;
  };
  struct Note {
    int y = 0;
    std::string text;  // "cut", "drawer 1, 100 ms", "align centre"
  };

  int width = 512;  // printable width in dots
  int height = 0;   // dots from the top to the end of the last line
  std::vector<Text> texts;
  std::vector<Bars> bars;
  std::vector<Image> images;
  std::vector<Note> notes;
  int lines_left_out = 0;  // lines past the tallest page a drawing holds
};

// The tallest page laid out, in dots (a drawing surface holds at most 32,767 pixels).
inline constexpr int kMaxPageDots = 30000;

// Lays out a document the way a receipt printer with `profile` prints it: device fonts at
// their cells and the profile's columns, long lines wrapped, alignment and barcode digits as
// the control font sets them, EAN-13 texts as bars, other barcodes as their text with a note,
// bitmaps in their own size (96 pixels per inch, as Windows prints them), and every control
// command as a note at its line.
PageLayout LayoutPage(const Document& doc, const PrinterProfile& profile);

}  // namespace valico
