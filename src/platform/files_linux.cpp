#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <thread>

#include "platform/files.h"
#include "platform/unique_fd_posix.h"
#include "platform/write_all_posix.h"

namespace valico {
namespace {

// How long a writer waits for another one before it gives up: a writer holds the lock for
// one read and one replace of a small file, so only a stuck program holds it this long.
constexpr std::chrono::seconds kLockWait{10};
constexpr std::string_view kTempSuffix = ".valico-tmp";

bool Fail(std::string* err, const std::string& what, int e) {
  if (err) *err = what + ": " + std::strerror(e);
  return false;
}

bool Fail(std::string* err, const std::string& what) {
  if (err) *err = what;
  return false;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a path names, through symbolic links: settings kept behind a link stay there, and
// the link stays a link.
std::string FinalPath(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char* real = ::realpath(path.c_str(), nullptr);
  if (!real) return path;
  std::string r(real);
  ::free(real);
  return r;
}

// Valico's writers of the files of one folder take turns: an exclusive flock on the folder
// itself. The folder stays the same object while the files in it are replaced; a lock on a
// file would stay behind on the old file at the first rename. A file system without locks
// (some network shares) is written without one.
class FolderLock {
 public:
  bool Acquire(const std::string& folder, std::string* err) {
    fd_.Reset(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd_.valid()) return Fail(err, "cannot open folder " + folder, errno);
    auto deadline = std::chrono::steady_clock::now() + kLockWait;
    auto pause = std::chrono::microseconds(200);
    for (;;) {
      if (::flock(fd_.get(), LOCK_EX | LOCK_NB) == 0) {
        locked_ = true;
        return true;
      }
      int e = errno;
      if (e == EINTR) continue;
      if (e != EWOULDBLOCK) return true;
      if (std::chrono::steady_clock::now() >= deadline)
        return Fail(err, "another program has been writing in " + folder + " for " +
                             std::to_string(kLockWait.count()) + " s; gave up waiting");
      std::this_thread::sleep_for(pause);
      pause = std::min(pause * 2, std::chrono::microseconds(2000));
    }
  }
  bool locked() const { return locked_; }
  int folder_fd() const { return fd_.get(); }

 private:
  UniqueFd fd_;  // closing it releases the lock
  bool locked_ = false;
};

// Temporary files of `target` that a writer killed half way left behind. Only a writer that
// holds the folder's lock removes them: then no other writer of Valico is using one.
void RemoveLeftovers(const std::string& target) {
  std::string folder = FolderOf(target);
  std::string prefix = target.substr(target.find_last_of('/') + 1) + ".";
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (dirent* e = ::readdir(dir)) {
    std::string_view name = e->d_name;
    if (name.size() > prefix.size() + kTempSuffix.size() &&
        name.substr(0, prefix.size()) == prefix &&
        name.substr(name.size() - kTempSuffix.size()) == kTempSuffix)
      ::unlinkat(::dirfd(dir), e->d_name, 0);
  }
  ::closedir(dir);
}

// A new file beside `target`, named `<target>.<random>.valico-tmp`, that no other writer uses.
int CreateTemporary(const std::string& target, std::string* tmp, std::string* err) {
  std::random_device random;
  for (int attempt = 0; attempt < 16; ++attempt) {
    char id[20];
    std::snprintf(id, sizeof id, ".%08x%08x", random(), random());
    *tmp = target + id + std::string(kTempSuffix);
    // Mode 0666 less the umask, as a file created in place would get.
    int fd = ::open(tmp->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) {
      if (fd < 0) Fail(err, "cannot create a temporary file in " + FolderOf(target), errno);
      return fd;
    }
  }
  Fail(err, "cannot find a free temporary name beside " + target);
  return -1;
}

// Windows refuses to replace a file that the caller may not write, and a read-only file even
// to an administrator. Root passes every permission check here, so a file without any write
// bit counts as read-only for everyone; other users get the system's own answer.
bool MayWriteInPlace(const std::string& target, const struct stat& st, std::string* err) {
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
    return Fail(err, "cannot write " + target + ": the file is read-only");
  if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
    return Fail(err, "cannot write " + target, errno);
  return true;
}

// The replace, with the folder's lock held (or none to be had).
bool ReplaceLocked(const std::string& target, std::string_view data, const FolderLock& lock,
                   std::string* err) {
  struct stat old;
  bool existed = ::stat(target.c_str(), &old) == 0;
  if (existed && S_ISDIR(old.st_mode)) return Fail(err, "cannot write " + target + ": a folder");
  if (existed && !MayWriteInPlace(target, old, err)) return false;
  if (lock.locked()) RemoveLeftovers(target);

  std::string tmp;
  UniqueFd fd(CreateTemporary(target, &tmp, err));
  if (fd.get() < 0) return false;
  auto discard = [&](const std::string& what, int e) {
    fd.Close();
    ::unlink(tmp.c_str());
    return Fail(err, what, e);
  };
  if (!WriteAll(fd.get(), data)) return discard("cannot write " + tmp, errno);
  if (::fsync(fd.get()) != 0) return discard("cannot flush " + tmp, errno);
  if (existed) {
    // The owner only root may give away; the group any member of it. What the system does not
    // allow stays the writer's: the mode then still gives the file's group its access.
    if (::fchown(fd.get(), old.st_uid, old.st_gid) != 0) {
      int group_kept = ::fchown(fd.get(), static_cast<uid_t>(-1), old.st_gid);
      (void)group_kept;
    }
    if (::fchmod(fd.get(), old.st_mode & 07777) != 0)
      return discard("cannot set the mode of " + tmp, errno);
  }
  if (fd.Close() != 0) return discard("cannot write " + tmp, errno);
  if (::rename(tmp.c_str(), target.c_str()) != 0)
    return discard("cannot replace " + target + " with " + tmp, errno);
  // The rename itself reaches the disk with the folder.
  if (lock.folder_fd() >= 0) ::fsync(lock.folder_fd());
  return true;
}

}  // namespace

ReadStatus ReadNativeFile(const std::string& native, std::size_t limit, std::string* out,
                          std::string* err) {
  // Not blocking on a FIFO that stands where a file should.
  UniqueFd fd(::open(native.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (fd.get() < 0) {
    int e = errno;
    if (e == ENOENT || e == ENOTDIR) return ReadStatus::kMissing;
    Fail(err, "cannot open " + native, e);
    return ReadStatus::kFailed;
  }
  struct stat st;
  if (::fstat(fd.get(), &st) != 0) {
    Fail(err, "cannot read " + native, errno);
    return ReadStatus::kFailed;
  }
  if (!S_ISREG(st.st_mode)) {
    Fail(err, "cannot read " + native + (S_ISDIR(st.st_mode) ? ": a folder" : ": not a file"));
    return ReadStatus::kFailed;
  }
  auto too_large = [&] {
    Fail(err, "not reading " + native + ": larger than " + std::to_string(limit) + " bytes");
    return ReadStatus::kFailed;
  };
  if (static_cast<std::uintmax_t>(st.st_size) > limit) return too_large();
  std::string data;
  data.reserve(static_cast<size_t>(st.st_size));
  char buf[65536];
  // A file that says its size is read up to it: no call is spent to find the end. (Files of
  // the system's pseudo file systems say 0, and are read to their end.)
  const auto size = static_cast<size_t>(st.st_size);
  while (size == 0 || data.size() < size) {
    ssize_t n = ::read(fd.get(), buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      Fail(err, "cannot read " + native, errno);
      return ReadStatus::kFailed;
    }
    if (n == 0) break;
    if (data.size() + static_cast<size_t>(n) > limit) return too_large();
    data.append(buf, static_cast<size_t>(n));
  }
  *out = std::move(data);
  return ReadStatus::kRead;
}

bool ReplaceNativeFile(const std::string& native, std::string_view data, std::string* err) {
  std::string target = FinalPath(native);
  FolderLock lock;
  if (!lock.Acquire(FolderOf(target), err)) return false;
  return ReplaceLocked(target, data, lock, err);
}

bool UpdateNativeFile(const std::string& native, std::size_t limit, const FileEdit& edit,
                      std::string* err) {
  std::string target = FinalPath(native);
  FolderLock lock;
  if (!lock.Acquire(FolderOf(target), err)) return false;
  std::string current;
  if (ReadNativeFile(target, limit, &current, err) == ReadStatus::kFailed) return false;
  std::optional<std::string> updated = edit(current);
  if (!updated) return true;
  return ReplaceLocked(target, *updated, lock, err);
}

bool MoveWithoutReplace(const std::string& from_native, const std::string& to_native,
                        std::string* err) {
  // renameat2 refuses an existing target atomically; file systems without it get a check
  // followed by the rename.
  if (::renameat2(AT_FDCWD, from_native.c_str(), AT_FDCWD, to_native.c_str(), RENAME_NOREPLACE) ==
      0)
    return true;
  int e = errno;
  if (e == EINVAL || e == ENOSYS) {
    struct stat st;
    if (::lstat(to_native.c_str(), &st) == 0) {
      e = EEXIST;
    } else if (::rename(from_native.c_str(), to_native.c_str()) == 0) {
      return true;
    } else {
      e = errno;
    }
  }
  if (err) *err = e == EEXIST ? "the target exists" : std::strerror(e);
  return false;
}

bool VisitNativeFiles(const std::string& native,
                      const std::function<bool(const std::string&)>& visit, std::string* err) {
  UniqueFd dir(::open(native.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() < 0) return Fail(err, "cannot list " + native, errno);
  // The entries are read a few at a time: a caller that wants only the first ones makes the
  // system read no further into a large folder.
  alignas(dirent64) char buf[8192];
  for (;;) {
    ssize_t n = ::getdents64(dir.get(), buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    // A failed step ends the listing: the names so far were visited.
    if (n < 0) return Fail(err, "cannot list all of " + native, errno);
    if (n == 0) return true;
    for (ssize_t at = 0; at < n;) {
      const auto* e = reinterpret_cast<const dirent64*>(buf + at);
      at += e->d_reclen;
      bool plain = e->d_type == DT_REG;
      if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {  // the entry itself does not say
        struct stat st;
        plain = ::fstatat(dir.get(), e->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
      }
      if (plain && !visit(e->d_name)) return true;
    }
  }
}

bool CopyReplacing(const std::string& from_native, const std::string& to_native, std::string* err) {
  std::error_code ec;
  std::filesystem::copy_file(from_native, to_native,
                             std::filesystem::copy_options::overwrite_existing, ec);
  if (ec && err) *err = ec.message();
  return !ec;
}

}  // namespace valico
