#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/write_access.h"

namespace valico {

bool CanWrite(const std::string& native, std::string* why) {
  struct stat st {};
  // A folder is written by creating and removing entries, which also takes the right to pass.
  int mode = ::stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? W_OK | X_OK : W_OK;
  if (::access(native.c_str(), mode) == 0) return true;
  *why = std::strerror(errno);
  return false;
}

}  // namespace valico
