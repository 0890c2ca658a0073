#pragma once

#include <sys/types.h>

#include <set>
#include <utility>

namespace valico {

// Which files some process holds open for writing, as /proc shows the processes this user
// may look into: every process for root, the user's own otherwise (another user's writer, or
// one on another machine writing over a network share, stays unseen). One look at /proc
// serves every question until Forget, so a pass that asks about many files looks once.
// Linux backends only.
class OpenWriters {
 public:
  // True when a process this user can see holds the file (device, inode) open for writing.
  bool Holds(dev_t device, ino_t inode);
  // The next question looks at /proc again.
  void Forget() { looked_ = false; }

 private:
  void Look();
  void AddWritten(int fd_folder);

  bool looked_ = false;
  std::set<std::pair<dev_t, ino_t>> written_;
};

}  // namespace valico
