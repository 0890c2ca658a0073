#include "platform/system_error_win32.h"

#include <windows.h>

namespace valico {

std::string SystemErrorText(unsigned long code) {
  char buf[512];
  DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             code, 0, buf, sizeof(buf), nullptr);
  while (n > 0 && (buf[n - 1] == '\n' || buf[n - 1] == '\r' || buf[n - 1] == ' ')) --n;
  if (n == 0) return "error " + std::to_string(code);
  return std::string(buf, n);
}

}  // namespace valico
