#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace valico {

// Held while a Valico serves a program folder, by the tray program and by `run` alike: two
// copies on one folder would hand the same job to a device twice. The lock goes with its
// holder, also when the process dies. Per-OS: a named mutex on Windows, a Unix socket bound to
// an abstract name on Linux (the folder's flock is the settings writers').
class ProgramFolderLock {
 public:
  explicit ProgramFolderLock(const std::string& folder);  // a native, absolute path
  ~ProgramFolderLock();
  ProgramFolderLock(const ProgramFolderLock&) = delete;
  ProgramFolderLock& operator=(const ProgramFolderLock&) = delete;

  // False when another copy holds the folder. A lock the system cannot make counts as held:
  // it does not stop the program.
  bool held() const { return held_; }

 private:
  std::intptr_t handle_ = -1;
  bool held_ = false;
};

// A short name that is the same for every spelling of one folder (letter case, "..", a
// trailing separator on Windows): the mutex's name, and the name of the message that asks
// the running copy to show its window. Per-OS.
std::string ProgramFolderKey(const std::string& folder);

// The key of a folder path already in its one spelling: "Valico-" and an FNV-1a hash of the
// bytes, as system object names may not hold backslashes and are limited in length.
std::string KeyOfFolderPath(std::string_view path);

}  // namespace valico
