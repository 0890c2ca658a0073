#pragma once

#include <string_view>

namespace valico {

// Writes bytes to standard output exactly as they are: a text's own CR LF is not turned into
// CR CR LF on Windows. Flushes what std::cout holds first. False when not all were written.
// Per-OS.
bool WriteStandardOutput(std::string_view bytes);

// Check marks in a text for WriteMarkedText: kPassedMark stands for U+2713 and kFailedMark for
// U+2717 (bytes no text of the system holds).
inline constexpr char kPassedMark = '\x01';
inline constexpr char kFailedMark = '\x02';

// Writes text in the system's narrow bytes (as they are on Linux; the ANSI code page on
// Windows) to standard output with its check marks shown: on Linux as UTF-8. On Windows, a
// console gets the whole text through its wide-character output, so the marks show whatever
// its code page; a file or a pipe gets it as UTF-8. False when not all was written. Per-OS.
bool WriteMarkedText(std::string_view text);

}  // namespace valico
