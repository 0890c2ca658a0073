#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "platform/serial_device.h"

namespace valico {
namespace {

std::string CanonicalPath(const std::string& path) {
  char resolved[PATH_MAX];
  return ::realpath(path.c_str(), resolved) ? resolved : path;
}

// "minicom (pid 812)": the processes this user may look into that hold `device` open, other
// than this one; "" when there are none.
std::string Holders(const std::string& device) {
  const std::string self = std::to_string(::getpid());
  std::string holders;
  DIR* proc = ::opendir("/proc");
  if (!proc) return "";
  while (dirent* p = ::readdir(proc)) {
    std::string pid = p->d_name;
    if (pid.find_first_not_of("0123456789") != std::string::npos || pid == self) continue;
    std::string fds = "/proc/" + pid + "/fd";
    DIR* dir = ::opendir(fds.c_str());
    if (!dir) continue;
    bool holds = false;
    while (dirent* f = ::readdir(dir)) {
      char target[PATH_MAX];
      ssize_t n = ::readlink((fds + "/" + f->d_name).c_str(), target, sizeof target - 1);
      if (n > 0 && std::string(target, static_cast<std::size_t>(n)) == device) holds = true;
    }
    ::closedir(dir);
    if (!holds) continue;
    std::string name;
    std::getline(std::ifstream("/proc/" + pid + "/comm"), name);
    holders += (holders.empty() ? "" : ", ") + name + " (pid " + pid + ")";
  }
  ::closedir(proc);
  return holders;
}

}  // namespace

std::string SerialDeviceOf(int port, const std::map<int, std::string>& devices) {
  auto it = devices.find(port);
  return it != devices.end() ? it->second : "/dev/ttyS" + std::to_string(port - 1);
}

bool ProbeSerialDevice(const std::string& device, std::string* why) {
  // A terminal opens for any number of programs at once: who holds it tells the conflict.
  std::string holders = Holders(CanonicalPath(device));
  if (!holders.empty()) {
    *why = device + " is held by " + holders;
    return false;
  }
  // O_NONBLOCK: a port without carrier opens at once; O_NOCTTY: never our terminal.
  int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    *why = device + ": " + std::strerror(errno);
    return false;
  }
  bool terminal = ::isatty(fd);
  ::close(fd);
  if (!terminal) *why = device + " is not a serial port";
  return terminal;
}

}  // namespace valico
