#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/program_folder_lock.h"

namespace valico {

std::string ProgramFolderKey(const std::string& folder) {
  std::error_code ec;
  std::string path = std::filesystem::weakly_canonical(folder, ec).string();
  if (ec) path = folder;
  return KeyOfFolderPath(path);
}

// A socket bound to an abstract name made of the folder's key: nothing is written into the
// folder (whose flock belongs to the settings' writers), and the name goes with the socket.
// A socket the system refuses does not stop the program.
ProgramFolderLock::ProgramFolderLock(const std::string& folder) {
  held_ = true;
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::string name = ProgramFolderKey(folder);
  std::memcpy(address.sun_path + 1, name.data(), name.size());  // sun_path[0] = 0: abstract
  socklen_t length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0) {
    held_ = errno != EADDRINUSE;
    ::close(fd);
    return;
  }
  handle_ = fd;
}

ProgramFolderLock::~ProgramFolderLock() {
  if (handle_ != -1) ::close(static_cast<int>(handle_));
}

}  // namespace valico
