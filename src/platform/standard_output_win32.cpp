#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <iostream>

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

}  // namespace valico
