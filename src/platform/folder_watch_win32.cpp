// Folder watch through ReadDirectoryChangesW: one overlapped read per folder, all completing
// on one event that a loop can wait on.
#include <windows.h>

#include <map>
#include <memory>
#include <set>
#include <vector>

#include "platform/folder_watch_base.h"

namespace valico {
namespace {

constexpr DWORD kFilter =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE;
constexpr DWORD kBufferBytes = 64 * 1024;

// A name in the ANSI code page, as the rest of the program holds paths.
std::string Narrow(const wchar_t* w, int chars) {
  int n = ::WideCharToMultiByte(CP_ACP, 0, w, chars, nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, w, chars, s.data(), n, nullptr, nullptr);
  return s;
}

class DirectoryChangesWatch : public FolderWatchBase {
 public:
  // Its notices may name a file by its short 8.3 name: the intake lists the folder.
  explicit DirectoryChangesWatch(DiagLog& log)
      : FolderWatchBase(log, /*exact_names=*/false),
        event_(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
  ~DirectoryChangesWatch() override {
    while (!watched_.empty()) Detach(watched_.begin()->first);
    ::CloseHandle(event_);
  }

  std::intptr_t WaitHandle() const override { return reinterpret_cast<std::intptr_t>(event_); }

 protected:
  bool Attach(const std::string& folder) override {
    HANDLE dir = ::CreateFileA(
        folder.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    if (dir == INVALID_HANDLE_VALUE) return false;
    auto w = std::make_unique<Watched>();
    w->dir = dir;
    w->buffer.resize(kBufferBytes / sizeof(DWORD));
    w->overlapped.hEvent = event_;
    if (!Arm(*w)) {
      if (warned_.emplace(folder).second)
        log_.Warn("folder watch: cannot watch " + folder + ": error " +
                  std::to_string(::GetLastError()));
      ::CloseHandle(dir);
      return false;
    }
    watched_[folder] = std::move(w);
    return true;
  }

  void Detach(const std::string& folder) override {
    auto it = watched_.find(folder);
    if (it == watched_.end()) return;
    Watched& w = *it->second;
    // The read must be over before its buffer goes.
    DWORD bytes = 0;
    if (::CancelIoEx(w.dir, &w.overlapped) || ::GetLastError() != ERROR_NOT_FOUND)
      ::GetOverlappedResult(w.dir, &w.overlapped, &bytes, TRUE);
    ::CloseHandle(w.dir);
    watched_.erase(it);
  }

  void ReadNotices() override {
    // Cleared before the reads are looked at: one completing meanwhile sets it again.
    ::ResetEvent(event_);
    std::vector<std::string> lost;
    for (auto& [folder, w] : watched_) {
      DWORD bytes = 0;
      bool done = ::GetOverlappedResult(w->dir, &w->overlapped, &bytes, FALSE) != 0;
      if (!done && ::GetLastError() != ERROR_IO_INCOMPLETE) {
        lost.push_back(folder);  // the folder went, or its handle broke
        continue;
      }
      if (done && bytes == 0) OnOverflow(&folder);  // more changes than the buffer holds
      if (done && bytes > 0) Take(folder, *w);
      if ((done && !Arm(*w)) || !StillThere(*w)) lost.push_back(folder);
    }
    for (const std::string& folder : lost) OnFolderLost(folder);
  }

  // An open that does not share writing fails while any program holds the file open for
  // writing, whatever that program shares.
  std::optional<bool> HeldByWriter(const std::string& path) override {
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_SHARING_VIOLATION;
    ::CloseHandle(h);
    return false;
  }

 private:
  struct Watched {
    HANDLE dir = INVALID_HANDLE_VALUE;
    OVERLAPPED overlapped{};
    std::vector<DWORD> buffer;  // DWORD-aligned, as the notices must be
  };

  static bool Arm(Watched& w) {
    HANDLE event = w.overlapped.hEvent;
    w.overlapped = OVERLAPPED{};
    w.overlapped.hEvent = event;
    return ::ReadDirectoryChangesW(w.dir, w.buffer.data(),
                                   static_cast<DWORD>(w.buffer.size() * sizeof(DWORD)), FALSE,
                                   kFilter, nullptr, &w.overlapped, nullptr) != 0;
  }

  // A folder deleted while we hold it open stays until we let go: see whether it is on its way.
  static bool StillThere(const Watched& w) {
    FILE_STANDARD_INFO info{};
    if (!::GetFileInformationByHandleEx(w.dir, FileStandardInfo, &info, sizeof info)) return true;
    return !info.DeletePending;
  }

  void Take(const std::string& folder, const Watched& w) {
    const char* p = reinterpret_cast<const char*>(w.buffer.data());
    for (;;) {
      auto* n = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(p);
      std::string name = Narrow(n->FileName, static_cast<int>(n->FileNameLength / sizeof(wchar_t)));
      switch (n->Action) {
        case FILE_ACTION_ADDED:
          OnNotice(folder, name, Notice::kCreated);
          break;
        case FILE_ACTION_MODIFIED:
          OnNotice(folder, name, Notice::kModified);
          break;
        case FILE_ACTION_RENAMED_NEW_NAME:
          OnNotice(folder, name, Notice::kMovedIn);
          break;
        case FILE_ACTION_REMOVED:
        case FILE_ACTION_RENAMED_OLD_NAME:
          OnNotice(folder, name, Notice::kGone);
          break;
        default:
          break;
      }
      if (n->NextEntryOffset == 0) break;
      p += n->NextEntryOffset;
    }
  }

  HANDLE event_;
  std::map<std::string, std::unique_ptr<Watched>> watched_;
  std::set<std::string> warned_;
};

}  // namespace

std::unique_ptr<FolderWatch> MakeFolderWatch(DiagLog& log) {
  return std::make_unique<DirectoryChangesWatch>(log);
}

}  // namespace valico
