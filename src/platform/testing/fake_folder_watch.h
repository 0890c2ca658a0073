#pragma once

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/folder_watch.h"

namespace valico::testing {

// A watch for unit tests: every file is whole and every folder changed, unless the test names
// a file in `writing` or makes the watch `quiet` (no notice since the last look); it names no
// arrivals (the intake lists the folder) unless the test gives them. The real backends have
// tests of their own.
class FakeFolderWatch : public FolderWatch {
 public:
  void Follow(const std::string& folder) override { followed.insert(folder); }
  void FollowFile(const std::string& path) override { followed.insert(path); }
  bool Poll() override { return false; }
  bool TakeChange(const std::string&) override { return !quiet; }
  // Once a test gives arrivals, later takes find none until it gives more.
  std::optional<std::vector<std::string>> TakeArrivals(const std::string&) override {
    if (!arrivals) return std::nullopt;
    return std::exchange(arrivals, std::vector<std::string>{});
  }
  bool Watching(const std::string& folder) override { return watching.count(folder) > 0; }
  bool IsWhole(const std::string& path) override { return !writing.count(path); }
  std::intptr_t WaitHandle() const override { return -1; }

  std::set<std::string> followed;
  std::set<std::string> writing;   // native paths of files a writer still holds
  std::set<std::string> watching;  // native paths of folders Watching() says are there
  bool quiet = false;
  std::optional<std::vector<std::string>> arrivals;
};

}  // namespace valico::testing
