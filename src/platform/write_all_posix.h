#pragma once

#include <unistd.h>

#include <cerrno>
#include <string_view>

namespace valico {

// Writes all of `data` to `fd`, again after a signal and after a short write; false on an
// error (errno says which) or when nothing more can be written.
inline bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

}  // namespace valico
