#include <windows.h>

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
  char cwd[MAX_PATH];
  DWORD n = ::GetCurrentDirectoryA(sizeof cwd, cwd);
  return n > 0 && n < sizeof cwd ? std::string(cwd, n) : std::string(".");
}

}  // namespace valico
