#pragma once

#include <cstdint>
#include <string>

namespace valico {

// Held while a Valico serves a program folder, by the tray program and by `run` alike: two
// copies on one folder would hand the same job to a device twice. The lock goes with its
// holder, also when the process dies. Per-OS: a named mutex on Windows, flock on the folder on
// POSIX.
class ProgramFolderLock {
 public:
  explicit ProgramFolderLock(const std::string& folder);  // a native, absolute path
  ~ProgramFolderLock();
  ProgramFolderLock(const ProgramFolderLock&) = delete;
  ProgramFolderLock& operator=(const ProgramFolderLock&) = delete;

  // False when another copy holds the folder. A lock the system cannot make (a folder not
  // made yet) counts as held: it does not stop the program.
  bool held() const { return held_; }

 private:
  std::intptr_t handle_ = -1;
  bool held_ = false;
};

// A short name that is the same for every spelling of one folder (letter case, "..", a
// trailing separator on Windows): the mutex's name, and the name of the message that asks
// the running copy to show its window. Per-OS.
std::string ProgramFolderKey(const std::string& folder);

}  // namespace valico
