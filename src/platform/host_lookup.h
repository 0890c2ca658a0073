#pragma once

#include <string>

namespace valico {

// Whether the system resolves the host name (or takes the address) to at least one address:
// no connection is made. True with the first address found in *address; false with the
// resolver's reason. Per-OS.
bool LookUpHost(const std::string& host, std::string* address, std::string* why);

}  // namespace valico
