#pragma once

#include <string>

namespace valico {

// Windows only: the system's text for an error code (as GetLastError gives it), without the
// trailing line break; "error N" when the system has no text for it.
std::string SystemErrorText(unsigned long code);

}  // namespace valico
