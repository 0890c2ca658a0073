#pragma once

#include <unistd.h>

namespace valico {

// Owns a file descriptor and closes it when it goes. POSIX backends only.
class UniqueFd {
 public:
  explicit UniqueFd(int fd = -1) : fd_(fd) {}
  ~UniqueFd() { Close(); }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // Closes the descriptor held and takes `fd`.
  void Reset(int fd) {
    Close();
    fd_ = fd;
  }
  // The result of close(2), which may report a write that did not reach the file.
  int Close() {
    int r = fd_ >= 0 ? ::close(fd_) : 0;
    fd_ = -1;
    return r;
  }

 private:
  int fd_;
};

}  // namespace valico
