#include "printing/device_fonts.h"

namespace valico {
namespace {

// ASCII only: font names are compared as the drivers compare them.
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// Device fonts whose names say no multipliers: characters per inch at the printer's 180 dpi.
// These rows are inferred from the drivers' behaviour, not from a document: correct them
// here after a capture from a real printer.
struct NamedFont {
  const char* name;
  TextFont font;
};
constexpr NamedFont kNamedFonts[] = {
    {"FontA15cpi", {false, 1, 1, 12, 24, 0}},  // plain font A: 12 dots at 180 dpi
    {"FontA12cpi", {false, 1, 1, 15, 24, 3}},  // font A + 3 dots of right spacing
    {"FontB17cpi", {true, 1, 1, 10, 17, 1}},   // font B + 1 dot of right spacing
};

// Outline fonts print in font A, double height from this size on.
constexpr double kDoubleHeightPoints = 14;

bool Multiplier(char c, int* out) {
  if (c < '1' || c > '8') return false;
  *out = c - '0';
  return true;
}

// "Font<A|B><w><h>" or "Font<A|B><w>x<h>".
bool ParseFontName(std::string_view name, TextFont* out) {
  if (name.size() < 7 || !SameNameNoCase(name.substr(0, 4), "font")) return false;
  char ab = Lower(name[4]);
  if (ab != 'a' && ab != 'b') return false;
  std::string_view wh = name.substr(5);
  int w = 0, h = 0;
  if (wh.size() == 2) {
    if (!Multiplier(wh[0], &w) || !Multiplier(wh[1], &h)) return false;
  } else if (wh.size() == 3 && Lower(wh[1]) == 'x') {
    if (!Multiplier(wh[0], &w) || !Multiplier(wh[2], &h)) return false;
  } else {
    return false;
  }
  TextFont f = ab == 'b' ? kFontB : kFontA;
  f.width_mul = w;
  f.height_mul = h;
  f.cell_width *= w;
  *out = f;
  return true;
}

}  // namespace

bool SameNameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

bool IsControlFont(std::string_view name) {
  return SameNameNoCase(name, "FontControl") || SameNameNoCase(name, "control");
}

TextFont ResolveTextFont(std::string_view name, double points) {
  for (const NamedFont& f : kNamedFonts)
    if (SameNameNoCase(name, f.name)) return f.font;
  TextFont f;
  if (ParseFontName(name, &f)) return f;
  f = kFontA;
  if (points >= kDoubleHeightPoints) f.height_mul = 2;
  return f;
}

}  // namespace valico
