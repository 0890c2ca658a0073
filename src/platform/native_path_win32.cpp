#include <windows.h>

#include <vector>

#include "platform/native_path.h"

namespace valico {

std::filesystem::path FsPath(const std::string& native) {
  if (native.empty()) return {};
  int n =
      ::MultiByteToWideChar(CP_ACP, 0, native.data(), static_cast<int>(native.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, native.data(), static_cast<int>(native.size()), wide.data(), n);
  return std::filesystem::path(wide);
}

std::string NarrowPath(const std::filesystem::path& path) {
  const std::wstring& wide = path.native();
  if (wide.empty()) return {};
  // A character the code page lacks becomes "?", as in every ANSI program.
  int n = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                nullptr, nullptr);
  std::string narrow(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), narrow.data(), n,
                        nullptr, nullptr);
  return narrow;
}

std::string AbsoluteNativePath(const std::string& native) {
  std::vector<char> buf(MAX_PATH);
  for (;;) {
    DWORD n =
        ::GetFullPathNameA(native.c_str(), static_cast<DWORD>(buf.size()), buf.data(), nullptr);
    if (n == 0) return native;
    if (n < buf.size()) return std::string(buf.data(), n);
    buf.resize(n);  // n is the size needed, terminating NUL included
  }
}

}  // namespace valico
