#pragma once

#include <string>
#include <string_view>

namespace valico {

// Windows-1252 bytes in the printer's code page 858 (PC858, multilingual with the euro).
// Characters that code page lacks become "?".
std::string Cp1252ToCp858(std::string_view text);

// Windows-1252 bytes as UTF-8, for drawing them with a font. The five bytes 1252 leaves
// undefined become "?".
std::string Cp1252ToUtf8(std::string_view text);

}  // namespace valico
