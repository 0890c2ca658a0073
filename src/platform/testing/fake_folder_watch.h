#pragma once

#include <set>
#include <string>

#include "platform/folder_watch.h"

namespace valico::testing {

// A watch for unit tests: every file is whole and every folder changed, unless the test names
// a file in `writing` or makes the watch `quiet` (no notice since the last look). The real
// backends have tests of their own.
class FakeFolderWatch : public FolderWatch {
 public:
  void Follow(const std::string& folder) override { followed.insert(folder); }
  void FollowFile(const std::string& path) override { followed.insert(path); }
  bool Poll() override { return false; }
  bool TakeChange(const std::string&) override { return !quiet; }
  bool IsWhole(const std::string& path) override { return !writing.count(path); }
  std::intptr_t WaitHandle() const override { return -1; }

  std::set<std::string> followed;
  std::set<std::string> writing;  // native paths of files a writer still holds
  bool quiet = false;
};

}  // namespace valico::testing
