#include <windows.h>

#include <string>

#include "platform/files.h"

namespace valico {
namespace {

// The system's text for an error code, without the trailing line break.
std::string SystemMessage(DWORD code) {
  char buf[512];
  DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             code, 0, buf, sizeof(buf), nullptr);
  while (n > 0 && (buf[n - 1] == '\n' || buf[n - 1] == '\r' || buf[n - 1] == ' ')) --n;
  if (n == 0) return "error " + std::to_string(code);
  return std::string(buf, n);
}

}  // namespace

bool FlushToDisk(const std::string& native_path) {
  // FlushFileBuffers needs write access; share everything so that a reader elsewhere does
  // not make the flush fail.
  HANDLE h = ::CreateFileA(native_path.c_str(), GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = ::FlushFileBuffers(h) != 0;
  ::CloseHandle(h);
  return ok;
}

bool MoveWithoutReplace(const std::string& from_native, const std::string& to_native,
                        std::string* err) {
  // No MOVEFILE_REPLACE_EXISTING: an existing target is refused by the system itself.
  // Without MOVEFILE_COPY_ALLOWED a file that is still open elsewhere is never half-copied.
  if (::MoveFileExA(from_native.c_str(), to_native.c_str(), 0)) return true;
  DWORD e = ::GetLastError();
  if (err) {
    switch (e) {
      case ERROR_ALREADY_EXISTS:
      case ERROR_FILE_EXISTS:
        *err = "the target exists";
        break;
      case ERROR_SHARING_VIOLATION:
      case ERROR_LOCK_VIOLATION:
        *err = "another program still has the file open";
        break;
      default:
        *err = SystemMessage(e);
    }
  }
  return false;
}

bool CopyReplacing(const std::string& from_native, const std::string& to_native, std::string* err) {
  if (::CopyFileA(from_native.c_str(), to_native.c_str(), /*bFailIfExists=*/FALSE)) return true;
  if (err) *err = SystemMessage(::GetLastError());
  return false;
}

}  // namespace valico
