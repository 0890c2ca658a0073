#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "platform/program_folder_lock.h"

namespace valico {

std::string ProgramFolderKey(const std::string& folder) {
  std::error_code ec;
  std::string path = std::filesystem::weakly_canonical(folder, ec).string();
  if (ec) path = folder;
  std::uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : path) hash = (hash ^ c) * 1099511628211ull;
  char key[32];
  std::snprintf(key, sizeof(key), "Valico-%016llx", static_cast<unsigned long long>(hash));
  return key;
}

// The folder itself is locked, so no file is left behind; the lock goes with the descriptor.
// A folder that cannot be opened (not made yet) is not refused: the start-up reports it.
ProgramFolderLock::ProgramFolderLock(const std::string& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  held_ = true;
  if (fd < 0) return;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    held_ = errno != EWOULDBLOCK;
    ::close(fd);
    return;
  }
  handle_ = fd;
}

ProgramFolderLock::~ProgramFolderLock() {
  if (handle_ != -1) ::close(static_cast<int>(handle_));
}

}  // namespace valico
