#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/files.h"

namespace valico {

bool FlushToDisk(const std::string& native_path) {
  int fd = ::open(native_path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

bool MoveWithoutReplace(const std::string& from_native, const std::string& to_native,
                        std::string* err) {
  // renameat2 refuses an existing target atomically; file systems without it get a check
  // followed by the rename.
  if (::renameat2(AT_FDCWD, from_native.c_str(), AT_FDCWD, to_native.c_str(), RENAME_NOREPLACE) ==
      0)
    return true;
  int e = errno;
  if (e == EINVAL || e == ENOSYS) {
    struct stat st;
    if (::lstat(to_native.c_str(), &st) == 0) {
      e = EEXIST;
    } else if (::rename(from_native.c_str(), to_native.c_str()) == 0) {
      return true;
    } else {
      e = errno;
    }
  }
  if (err) *err = e == EEXIST ? "the target exists" : std::strerror(e);
  return false;
}

bool CopyReplacing(const std::string& from_native, const std::string& to_native, std::string* err) {
  std::error_code ec;
  std::filesystem::copy_file(from_native, to_native,
                             std::filesystem::copy_options::overwrite_existing, ec);
  if (ec && err) *err = ec.message();
  return !ec;
}

}  // namespace valico
