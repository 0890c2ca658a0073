#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace valico {

// The settings' texts are Windows-1252 bytes; Qt's widgets hold Unicode. These two are the only
// place where one becomes the other, so every byte value 0x00-0xFF comes back as it went in.
QString FromBytes(std::string_view bytes);
// A character that Windows-1252 lacks becomes "?", as Windows' own conversion makes it.
std::string ToBytes(const QString& text);

}  // namespace valico
