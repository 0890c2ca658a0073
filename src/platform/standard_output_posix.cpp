#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <iostream>
#include <string>

#include "platform/standard_output.h"

namespace valico {

bool WriteStandardOutput(std::string_view bytes) {
  std::cout.flush();
  std::fflush(stdout);
  while (!bytes.empty()) {
    ssize_t n = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

bool WriteMarkedText(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == kPassedMark) {
      out += "\u2713";
    } else if (c == kFailedMark) {
      out += "\u2717";
    } else {
      out += c;
    }
  }
  return WriteStandardOutput(out);
}

}  // namespace valico
