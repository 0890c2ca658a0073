#pragma once

#include <string>

namespace valico {

// Whether this user may write the file, or create files in the folder, at the native path:
// asked of the system without writing anything. False with the reason (the system's text:
// missing, no permission, a read-only file system as a hardened service sees it). Per-OS.
bool CanWrite(const std::string& native, std::string* why);

}  // namespace valico
