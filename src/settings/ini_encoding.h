#pragma once

#include <string>
#include <string_view>

namespace valico {

// The two encodings an INI file may have, as the private-profile functions tell them: a file
// that starts with the UTF-16LE byte-order mark FF FE is UTF-16, any other is Windows-1252.
// Callers always speak Windows-1252; a UTF-16 file is read and written back as UTF-16, its
// other characters untouched.

bool IsUtf16File(std::string_view bytes);
// The text after the byte-order mark (an odd last byte is dropped).
std::u16string Utf16FromFile(std::string_view bytes);
// The file's bytes: the byte-order mark, then the text in UTF-16LE.
std::string FileFromUtf16(std::u16string_view text);

// Windows-1252 to UTF-16 and back; a character Windows-1252 lacks becomes "?".
std::u16string WidenCp1252(std::string_view text);
std::string NarrowCp1252(std::u16string_view text);

}  // namespace valico
