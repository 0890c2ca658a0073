#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

#include "platform/durable_files.h"
#include "platform/files.h"
#include "platform/write_all_posix.h"

namespace valico {
namespace {

bool Fail(std::string* err, const std::string& what, int e) {
  if (err) *err = what + ": " + std::strerror(e);
  return false;
}

}  // namespace

bool CreateFileDurably(const std::string& native_path, std::string_view data, bool* exists,
                       std::string* err) {
  *exists = false;
  std::random_device random;
  char id[24];
  std::snprintf(id, sizeof id, ".%08x.tmp", random());
  const std::string tmp = native_path + id;
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return Fail(err, "cannot create " + tmp, errno);
  bool written = WriteAll(fd, data) && ::fdatasync(fd) == 0;
  int e = errno;
  if (::close(fd) != 0 && written) {
    written = false;
    e = errno;
  }
  if (!written) {
    ::unlink(tmp.c_str());
    return Fail(err, "cannot write " + tmp, e);
  }
  std::string why;
  if (!MoveWithoutReplace(tmp, native_path, &why)) {
    ::unlink(tmp.c_str());
    struct stat st;
    *exists = ::lstat(native_path.c_str(), &st) == 0;
    if (err) *err = "cannot name " + native_path + ": " + why;
    return false;
  }
  // The folder is not forced to the disk as well: a journalling file system keeps the rename
  // before any later change of the folder (the removal of the job file it was made of), and a
  // second flush per job would double what queueing a document costs.
  return true;
}

bool AppendDurably(const std::string& native_path, std::string_view data, std::string* err) {
  int fd = ::open(native_path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
  if (fd < 0) return Fail(err, "cannot open " + native_path, errno);
  bool ok = WriteAll(fd, data) && ::fdatasync(fd) == 0;
  int e = errno;
  ::close(fd);
  return ok || Fail(err, "cannot write " + native_path, e);
}

bool ListNativeFolder(const std::string& native_folder, bool folders,
                      std::vector<std::string>* names, std::string* err) {
  names->clear();
  DIR* dir = ::opendir(native_folder.c_str());
  if (!dir) return errno == ENOENT || Fail(err, "cannot list " + native_folder, errno);
  while (dirent* e = ::readdir(dir)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    bool is_folder = e->d_type == DT_DIR;
    if (e->d_type == DT_UNKNOWN) {
      struct stat st;
      if (::fstatat(::dirfd(dir), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
      is_folder = S_ISDIR(st.st_mode);
    }
    if (is_folder == folders) names->push_back(std::move(name));
  }
  ::closedir(dir);
  return true;
}

bool RemoveNativeFile(const std::string& native_path, std::string* err) {
  return ::unlink(native_path.c_str()) == 0 || errno == ENOENT ||
         Fail(err, "cannot remove " + native_path, errno);
}

}  // namespace valico
