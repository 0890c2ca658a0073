#pragma once

#include <string_view>

namespace valico {

// How a text font prints on a receipt printer: font A or B of the printer, the width and
// height multipliers, and the advance and height of one character in dots (multipliers 1).
struct TextFont {
  bool font_b = false;
  int width_mul = 1;      // 1..8
  int height_mul = 1;     // 1..8
  int cell_width = 12;    // dots from one character to the next, right spacing included
  int cell_height = 24;   // dots
  int right_spacing = 0;  // dots added after each character (ESC SP n)
  bool operator==(const TextFont&) const = default;
};

// The printer's plain font A (12 x 24 dots) and font B (9 x 17 dots).
inline constexpr TextFont kFontA{};
inline constexpr TextFont kFontB{true, 1, 1, 9, 17, 0};

// The text font a printed text gets from the font name and size of the text state: a device
// font by its name ("FontA11", "fontB12", "FontA1x2", "FontA12cpi"; without regard to case),
// any other name (an outline font such as "Courier New", or none) font A, double height from
// 14 points. Control and barcode fonts are told apart before this is asked.
TextFont ResolveTextFont(std::string_view name, double points);

// Whether `name` is the driver's control font: "FontControl" or "control", without regard to
// case.
bool IsControlFont(std::string_view name);

// Equality of two names without regard to ASCII letter case.
bool SameNameNoCase(std::string_view a, std::string_view b);

}  // namespace valico
