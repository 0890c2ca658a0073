#include "platform/open_writers_linux.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <string>

namespace valico {
namespace {

bool IsProcess(const char* name) {
  if (!*name) return false;
  for (; *name; ++name)
    if (!std::isdigit(static_cast<unsigned char>(*name))) return false;
  return true;
}

}  // namespace

bool OpenWriters::Holds(dev_t device, ino_t inode) {
  if (!looked_) Look();
  return written_.count({device, inode}) > 0;
}

void OpenWriters::Look() {
  looked_ = true;
  written_.clear();
  DIR* proc = ::opendir("/proc");
  if (!proc) return;
  while (const dirent* entry = ::readdir(proc)) {
    if (!IsProcess(entry->d_name)) continue;
    // Refused for another user's process (unless root), gone for one that just ended.
    int fds = ::openat(::dirfd(proc), (std::string(entry->d_name) + "/fd").c_str(),
                       O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fds >= 0) AddWritten(fds);
  }
  ::closedir(proc);
}

// The descriptors of one process. Each is a link whose own mode is the access mode it was
// opened with (as the flags of /proc/PID/fdinfo/FD say): the owner's write bit for O_WRONLY and
// O_RDWR. Only those are followed to the file they name.
void OpenWriters::AddWritten(int fd_folder) {
  DIR* folder = ::fdopendir(fd_folder);
  if (!folder) {
    ::close(fd_folder);
    return;
  }
  while (const dirent* entry = ::readdir(folder)) {
    struct stat link, file;
    if (entry->d_name[0] == '.' ||
        ::fstatat(fd_folder, entry->d_name, &link, AT_SYMLINK_NOFOLLOW) != 0 ||
        !(link.st_mode & S_IWUSR))
      continue;
    if (::fstatat(fd_folder, entry->d_name, &file, 0) == 0 && S_ISREG(file.st_mode))
      written_.emplace(file.st_dev, file.st_ino);
  }
  ::closedir(folder);
}

}  // namespace valico
