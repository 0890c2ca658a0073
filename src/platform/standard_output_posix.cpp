#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <iostream>
#include <string>

#include "platform/standard_output.h"
#include "platform/write_all_posix.h"

namespace valico {

bool WriteStandardOutput(std::string_view bytes) {
  std::cout.flush();
  std::fflush(stdout);
  return WriteAll(STDOUT_FILENO, bytes);
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
