#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <string>

#include "platform/standard_output.h"

namespace valico {

bool WriteStandardOutput(std::string_view bytes) {
  std::cout.flush();
  std::fflush(stdout);
  // The C runtime's text mode would add a CR before every LF: write these bytes in binary
  // mode, then give standard output its text mode back.
  int previous = _setmode(_fileno(stdout), _O_BINARY);
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
  std::fflush(stdout);
  if (previous != -1) _setmode(_fileno(stdout), previous);
  return ok;
}

bool WriteMarkedText(std::string_view text) {
  std::wstring wide;
  if (!text.empty()) {
    int n =
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    wide.resize(static_cast<size_t>(n));
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  }
  std::wstring lines;
  for (wchar_t c : wide) {
    if (c == static_cast<wchar_t>(kPassedMark)) {
      lines += L'\u2713';
    } else if (c == static_cast<wchar_t>(kFailedMark)) {
      lines += L'\u2717';
    } else {
      if (c == L'\n') lines += L'\r';
      lines += c;
    }
  }
  std::cout.flush();
  std::fflush(stdout);
  HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0, written = 0;
  if (::GetConsoleMode(out, &mode))
    return ::WriteConsoleW(out, lines.data(), static_cast<DWORD>(lines.size()), &written,
                           nullptr) &&
           written == lines.size();
  std::string utf8;
  if (!lines.empty()) {
    int n = ::WideCharToMultiByte(CP_UTF8, 0, lines.data(), static_cast<int>(lines.size()), nullptr,
                                  0, nullptr, nullptr);
    utf8.resize(static_cast<size_t>(n));
    ::WideCharToMultiByte(CP_UTF8, 0, lines.data(), static_cast<int>(lines.size()), utf8.data(), n,
                          nullptr, nullptr);
  }
  return WriteStandardOutput(utf8);
}

}  // namespace valico
