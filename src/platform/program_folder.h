#pragma once

#include <string>

namespace valico {

// The folder that holds the running executable (native form), the program folder unless
// --home says otherwise. Per-OS.
std::string ExecutableFolder();

}  // namespace valico
