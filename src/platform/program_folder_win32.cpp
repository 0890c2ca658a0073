#include <windows.h>

#include <filesystem>
#include <vector>

#include "platform/program_folder.h"

namespace valico {

std::string ExecutableFolder() {
  std::vector<char> buf(MAX_PATH);
  for (;;) {
    DWORD n = ::GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) break;
    if (n < buf.size()) {
      std::string exe(buf.data(), n);
      size_t slash = exe.find_last_of("\\/");
      return slash == std::string::npos ? std::string(".") : exe.substr(0, slash);
    }
    buf.resize(buf.size() * 2);  // truncated: try a larger buffer
  }
  std::error_code ec;
  return std::filesystem::current_path(ec).string();
}

}  // namespace valico
