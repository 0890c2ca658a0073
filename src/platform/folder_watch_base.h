#pragma once

#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/diag_log.h"
#include "platform/file_identity.h"
#include "platform/folder_watch.h"

namespace valico {

// What the notices say about the files of the followed folders: the part both backends
// share. A backend starts the system's notices for a folder and passes on each notice it
// reads; this keeps, per file, whether a writer may still be at it.
class FolderWatchBase : public FolderWatch {
 public:
  // `exact_names`: the notices name each file as a listing does, so TakeArrivals can stand in
  // for a listing.
  FolderWatchBase(DiagLog& log, bool exact_names) : log_(log), exact_names_(exact_names) {}

  void Follow(const std::string& folder) override;
  void FollowFile(const std::string& path) override;
  bool Poll() override;
  bool TakeChange(const std::string& path) override;
  std::optional<std::vector<std::string>> TakeArrivals(const std::string& folder) override;
  bool Watching(const std::string& folder) override;
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
    bool arrived = false;  // in `arrivals`, not yet taken
    Time last{};
  };
  struct Folder {
    bool attached = false;
    bool all = false;                                   // every file, not only the followed names
    bool changed = true;                                // for TakeChange(folder)
    std::map<std::string, bool> files;                  // followed names (lower case) -> changed
    std::unordered_map<std::string, FileState> states;  // by name as the folder lists it
    std::vector<std::string> arrivals;                  // for TakeArrivals, with gone names
    bool arrivals_known = false;                        // no notice lost since the last take
  };
  // More arrivals than this untaken (nobody takes the folder's jobs): the folder is listed.
  static constexpr std::size_t kMaxArrivals = 10000;

  Folder& FolderOf(const std::string& folder);
  // A pass is worth running for the file: wakes the service, marks the change, names it.
  void Announce(Folder& f, const std::string& name);
  // Announces the files created in the notices just read that no writer holds open.
  void AnnounceCreated();
  void Forget(Folder& f);
  bool ByAge(const std::string& path);
  bool OldEnough(const std::string& path);

  const bool exact_names_;
  bool woken_ = false;
  std::vector<std::pair<std::string, std::string>> created_;  // (folder, name), for AnnounceCreated
  std::map<std::string, Folder> folders_;
  // Files whose time stamp lies in the future (a clock elsewhere runs ahead of ours): whole
  // once they have looked the same for kMinAge.
  std::map<std::string, std::pair<FileIdentity, Time>> ahead_;
};

}  // namespace valico
