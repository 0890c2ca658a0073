#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace valico {

class DiagLog;

// Knows, from the system's change notices, when a file that Borea drops is whole, and wakes
// the service when one arrives. It follows drop folders (every file) and single polled files
// (the display file); paths are native. Main thread only.
//
// A file is whole when it was moved in, or closed by its writer; a file a writer still holds
// open is never whole, however long the writer pauses. A file whose opens the notices did not
// see (there before the watch began, or its notices lost when they overflowed) is whole once
// its modification time is kMinAge old and no writer the system shows holds it open: on
// Windows any program (a file held for writing cannot be opened without sharing writes), on
// Linux any process that /proc shows this user (all of them for root). Where a folder cannot be
// watched (missing, or the system refuses), everything in it counts as changed and is judged
// so, and the watch is tried again at every Poll, so a folder deleted and created again is
// watched again.
class FolderWatch {
 public:
  static constexpr std::chrono::milliseconds kMinAge{400};

  virtual ~FolderWatch() = default;

  // Follows every file of a folder / one file. Cheap when already followed.
  virtual void Follow(const std::string& folder) = 0;
  virtual void FollowFile(const std::string& path) = 0;

  // Reads the notices that arrived, without waiting. True when one of them may have made a
  // followed file new or whole: a reason to run a pass now rather than at the next tick.
  virtual bool Poll() = 0;

  // True when what is followed at `path` (a folder given to Follow, a file given to
  // FollowFile) may have changed since the last call with it; always true for a folder not
  // under watch, and for the first call.
  virtual bool TakeChange(const std::string& path) = 0;

  // The names of the files of a folder given to Follow that may have become new or whole
  // since the last call, in the order their notices came, each once; names since gone are
  // left out. Nothing when the notices cannot tell: the first call, a folder not under watch,
  // notices lost, or a system whose notices may give a file's other (short) name. The folder
  // must then be listed.
  virtual std::optional<std::vector<std::string>> TakeArrivals(const std::string& folder) = 0;

  // True while a folder given to Follow is under watch where it lies: it was there at the last
  // Poll, and no notice read since says it went.
  virtual bool Watching(const std::string& folder) = 0;

  // True when the file at `path` is whole (see above).
  virtual bool IsWhole(const std::string& path) = 0;

  // The system object that becomes ready when notices are waiting, for a loop to wait on
  // beside its other work: an inotify file descriptor on Linux, an event HANDLE on Windows;
  // -1 when there is none. When it is ready, call Poll; run a pass when Poll says so.
  virtual std::intptr_t WaitHandle() const = 0;
};

// The machine's watch: inotify on Linux, ReadDirectoryChangesW on Windows. Per-OS.
std::unique_ptr<FolderWatch> MakeFolderWatch(DiagLog& log);

}  // namespace valico
