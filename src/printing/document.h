#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace valico {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kRed{255, 0, 0};

// A picture in memory, loaded once and shared by the operations that draw it.
struct Bitmap {
  int width = 0;   // pixels
  int height = 0;  // pixels
  // 3 bytes (red, green, blue) per pixel, rows from the top, no padding.
  std::vector<std::uint8_t> rgb;
};

// A bitmap drawn in its own size is a picture of 96 pixels per inch, as Windows sizes a
// picture: on a device of `dpi` dots per inch `pixels` take this many dots. So a logo prints
// as large as it did from any Windows program, whatever the printer's resolution.
inline int PictureDots(int pixels, int dpi) {
  return static_cast<int>(std::min<std::int64_t>(std::int64_t{pixels} * dpi / 96, INT_MAX / 2));
}

// One operation on a printer, in the order the printer receives them. A print always ends
// its line, a single control character included; every CR LF inside its text ends a line too.
struct PrinterOp {
  enum class Kind {
    kFontName,     // text: the face or device-font name ("FontA11", "FontControl", "JAN13(EAN)")
    kFontSize,     // size: points, fractional sizes as they are (8.5, 9.5)
    kBold,         // bold
    kColour,       // colour
    kPrintLine,    // text: printed at the current position, then the line ends
    kPosition,     // x, y: the current position in points from the top left of the
                   // printable area; a coordinate left empty keeps its value
    kDrawBitmap,   // bitmap: drawn with its top left corner at the current position
    kEndDocument,  // ends the open document, which goes to the printer as one print job
  };
  Kind kind = Kind::kPrintLine;
  std::string text;
  double size = 0;
  bool bold = false;
  Rgb colour;
  std::optional<double> x, y;
  std::shared_ptr<const Bitmap> bitmap;
  bool operator==(const PrinterOp&) const = default;
};

// What one print job carries: the printer it goes to and its operations, from the text state
// the printer had when the document opened (font, size, bold, colour, as operations) to its
// last output. It never holds kEndDocument: ending it is what sends it.
struct Document {
  std::string printer;  // device name
  std::vector<PrinterOp> ops;
};

}  // namespace valico
