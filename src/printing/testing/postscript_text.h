#pragma once

#include <map>
#include <string>

namespace valico::testing {

// The text of PostScript from Wine's driver, which draws each character as "/name glyphshow",
// back as Windows-1252 bytes: letters by their one-letter names, and the few other glyphs
// tests print; any other glyph comes back as "?".
inline std::string GlyphText(const std::string& ps) {
  static const std::map<std::string, char> names = {
      {"space", ' '},  {"uni00A0", ' '}, {"comma", ','}, {"egrave", '\xe8'}, {"Euro", '\x80'},
      {"zero", '0'},   {"one", '1'},     {"two", '2'},   {"three", '3'},     {"four", '4'},
      {"five", '5'},   {"six", '6'},     {"seven", '7'}, {"eight", '8'},     {"nine", '9'},
      {"exclam", '!'}, {"colon", ':'}};
  std::string text;
  for (std::size_t at = ps.find(" glyphshow"); at != std::string::npos;
       at = ps.find(" glyphshow", at + 1)) {
    std::size_t slash = ps.rfind('/', at);
    std::string name = ps.substr(slash + 1, at - slash - 1);
    auto it = names.find(name);
    text += name.size() == 1 ? name[0] : it != names.end() ? it->second : '?';
  }
  return text;
}

}  // namespace valico::testing
