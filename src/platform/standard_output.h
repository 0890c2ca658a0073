#pragma once

#include <string_view>

namespace valico {

// Writes bytes to standard output exactly as they are: a text's own CR LF is not turned into
// CR CR LF on Windows. Flushes what std::cout holds first. False when not all were written.
// Per-OS.
bool WriteStandardOutput(std::string_view bytes);

}  // namespace valico
