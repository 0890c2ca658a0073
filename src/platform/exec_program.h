#pragma once

#include <string>
#include <vector>

namespace valico {

// Replaces the running process with `program` (a native path), given `args` as its arguments
// after its own name. Returns only when that could not be done, with the reason. Per-OS: on
// Windows, where every program is one executable, it always fails.
bool ExecProgram(const std::string& program, const std::vector<std::string>& args,
                 std::string* err);

}  // namespace valico
