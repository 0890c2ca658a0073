// Folder watch through inotify: one watch per folder, read without blocking.
#include <limits.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <set>

#include "platform/folder_watch_base.h"
#include "platform/open_writers_linux.h"
#include "platform/unique_fd_posix.h"

namespace valico {
namespace {

// Every notice that tells whether a file may still be written, and what becomes of the
// folder itself. Unlinked files tell nothing more.
constexpr std::uint32_t kMask = IN_CREATE | IN_OPEN | IN_MODIFY | IN_CLOSE_WRITE |
                                IN_CLOSE_NOWRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE |
                                IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR | IN_EXCL_UNLINK;

class InotifyWatch : public FolderWatchBase {
 public:
  explicit InotifyWatch(DiagLog& log)
      : FolderWatchBase(log, /*exact_names=*/true), fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    if (!fd_.valid())
      log_.Warn(std::string("folder watch: inotify is not available (") + std::strerror(errno) +
                "); spool folders are looked at every tick");
  }
  std::intptr_t WaitHandle() const override { return fd_.get(); }

 protected:
  bool Attach(const std::string& folder) override {
    if (!fd_.valid()) return false;
    int wd = ::inotify_add_watch(fd_.get(), folder.c_str(), kMask);
    if (wd < 0) {
      // A missing folder is tried again quietly; anything else is worth saying once.
      if (errno != ENOENT && errno != ENOTDIR && warned_.emplace(folder).second)
        log_.Warn("folder watch: cannot watch " + folder + ": " + std::strerror(errno));
      return false;
    }
    folder_of_[wd] = folder;
    wd_of_[folder] = wd;
    return true;
  }

  void Detach(const std::string& folder) override {
    auto it = wd_of_.find(folder);
    if (it == wd_of_.end()) return;
    ::inotify_rm_watch(fd_.get(), it->second);  // fails harmlessly when the folder is gone already
    folder_of_.erase(it->second);
    wd_of_.erase(it);
  }

  void ReadNotices() override {
    writers_.Forget();  // a new pass: who writes what is looked up afresh
    if (!fd_.valid()) return;
    alignas(inotify_event) char buf[64 * 1024];
    for (;;) {
      ssize_t n = ::read(fd_.get(), buf, sizeof buf);
      if (n <= 0) return;  // EAGAIN: nothing more waiting
      for (char* p = buf; p < buf + n;) {
        auto* ev = reinterpret_cast<inotify_event*>(p);
        p += sizeof(inotify_event) + ev->len;
        Take(*ev);
      }
      // Room to spare: all that was waiting has been read. What came since keeps the
      // descriptor ready, for the next Poll.
      if (static_cast<size_t>(n) + sizeof(inotify_event) + NAME_MAX + 1 <= sizeof buf) return;
    }
  }

  // Asked only of files whose opens the notices did not see (opened before the watch began):
  // a writer that /proc shows holds it. None seen says nothing for sure, as a writer of
  // another user or machine stays unseen: the file's age decides then.
  std::optional<bool> HeldByWriter(const std::string& path) override {
    struct stat st;
    if (::stat(path.c_str(), &st) == 0 && writers_.Holds(st.st_dev, st.st_ino)) return true;
    return std::nullopt;
  }

 private:
  void Take(const inotify_event& ev) {
    if (ev.mask & IN_Q_OVERFLOW) return OnOverflow(nullptr);
    auto it = folder_of_.find(ev.wd);
    if (it == folder_of_.end()) return;  // a folder let go of already
    const std::string folder = it->second;
    if (ev.mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT))
      return OnFolderLost(folder);
    // Notices about the folder itself (our own listings open it) and about subfolders.
    if (ev.len == 0 || (ev.mask & IN_ISDIR)) return;
    std::string name(ev.name);
    if (ev.mask & IN_CREATE) OnNotice(folder, name, Notice::kCreated);
    if (ev.mask & IN_OPEN) OnNotice(folder, name, Notice::kOpened);
    if (ev.mask & IN_MODIFY) OnNotice(folder, name, Notice::kModified);
    if (ev.mask & IN_CLOSE_WRITE) OnNotice(folder, name, Notice::kClosedAfterWrite);
    if (ev.mask & IN_CLOSE_NOWRITE) OnNotice(folder, name, Notice::kClosed);
    if (ev.mask & IN_MOVED_TO) OnNotice(folder, name, Notice::kMovedIn);
    if (ev.mask & (IN_DELETE | IN_MOVED_FROM)) OnNotice(folder, name, Notice::kGone);
  }

  UniqueFd fd_;
  OpenWriters writers_;
  std::unordered_map<int, std::string> folder_of_;
  std::map<std::string, int> wd_of_;
  std::set<std::string> warned_;
};

}  // namespace

std::unique_ptr<FolderWatch> MakeFolderWatch(DiagLog& log) {
  return std::make_unique<InotifyWatch>(log);
}

}  // namespace valico
