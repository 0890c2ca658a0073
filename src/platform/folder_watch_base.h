#pragma once

#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>

#include "platform/diag_log.h"
#include "platform/file_identity.h"
#include "platform/folder_watch.h"

namespace valico {

// What the notices say about the files of the followed folders: the part both backends
// share. A backend starts the system's notices for a folder and passes on each notice it
// reads; this keeps, per file, whether a writer may still be at it.
class FolderWatchBase : public FolderWatch {
 public:
  explicit FolderWatchBase(DiagLog& log) : log_(log) {}

  void Follow(const std::string& folder) override;
  void FollowFile(const std::string& path) override;
  bool Poll() override;
  bool TakeChange(const std::string& path) override;
  bool IsWhole(const std::string& path) override;

 protected:
  enum class Notice { kCreated, kOpened, kModified, kClosedAfterWrite, kClosed, kMovedIn, kGone };

  // Starts the system's notices for a folder; false when it cannot (yet).
  virtual bool Attach(const std::string& folder) = 0;
  virtual void Detach(const std::string& folder) = 0;
  // Reads the notices waiting, without blocking, and passes each to the calls below.
  virtual void ReadNotices() = 0;
  // Whether a writer still holds the file open, where the system can tell; asked only of
  // files whose opens and closes the notices did not tell, and only until they are whole.
  virtual std::optional<bool> HeldByWriter(const std::string& path) = 0;

  void OnNotice(const std::string& folder, const std::string& name, Notice notice);
  // Notices were lost: of one folder, or of all when `folder` is null.
  void OnOverflow(const std::string* folder);
  // The folder itself went (deleted, moved away): it is watched again once it is back.
  void OnFolderLost(const std::string& folder);

  DiagLog& log_;

 private:
  using Time = std::chrono::steady_clock::time_point;
  struct FileState {
    int opens = 0;         // opens not yet closed, as far as the notices tell
    bool pending = false;  // created or written since it was last closed after writing
    Time last{};
  };
  struct Folder {
    bool attached = false;
    bool all = false;                                   // every file, not only the followed names
    bool changed = true;                                // for TakeChange(folder)
    std::map<std::string, bool> files;                  // followed names (lower case) -> changed
    std::unordered_map<std::string, FileState> states;  // by name as the folder lists it
  };

  Folder& FolderOf(const std::string& folder);
  void Forget(Folder& f);
  bool ByAge(const std::string& path);
  bool OldEnough(const std::string& path);

  bool woken_ = false;
  std::map<std::string, Folder> folders_;
  // Files whose time stamp lies in the future (a clock elsewhere runs ahead of ours): whole
  // once they have looked the same for kMinAge.
  std::map<std::string, std::pair<FileIdentity, Time>> ahead_;
};

}  // namespace valico
