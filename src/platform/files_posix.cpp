#include <fcntl.h>
#include <unistd.h>

#include "platform/files.h"

namespace valico {

bool FlushToDisk(const std::string& native_path) {
  int fd = ::open(native_path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

}  // namespace valico
