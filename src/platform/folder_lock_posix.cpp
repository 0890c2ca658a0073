#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/folder_lock.h"

namespace valico {
namespace {

class PosixFolderLock : public FolderLock {
 public:
  explicit PosixFolderLock(int fd) : fd_(fd) {}
  ~PosixFolderLock() override { ::close(fd_); }

 private:
  int fd_;
};

}  // namespace

FolderClaim LockFolder(const std::string& folder, bool wait) {
  FolderClaim claim;
  const std::string path = folder + "/.valico.lock";
  // flock needs no write access: the service and a member of its group may both hold the
  // file open, whoever made it.
  int fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0664);
  if (fd < 0) {
    claim.error = path + ": " + std::strerror(errno);
    return claim;
  }
  int rc;
  do {
    rc = ::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB));
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    claim.held_elsewhere = errno == EWOULDBLOCK;
    if (!claim.held_elsewhere) claim.error = path + ": " + std::strerror(errno);
    ::close(fd);
    return claim;
  }
  claim.lock = std::make_unique<PosixFolderLock>(fd);
  return claim;
}

}  // namespace valico
