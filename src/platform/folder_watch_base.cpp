#include "platform/folder_watch_base.h"

#include <cctype>
#include <filesystem>

namespace valico {
namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::pair<std::string, std::string> Split(const std::string& path) {
  // Where the separator is '/', a path with one separator before a name splits as text, with
  // the result of the path's own split: every file of a burst is looked up here.
  if constexpr (std::filesystem::path::preferred_separator == '/') {
    std::size_t at = path.rfind('/');
    if (at != std::string::npos && at > 0 && at + 1 < path.size() && path[at - 1] != '/')
      return {path.substr(0, at), path.substr(at + 1)};
  }
  std::filesystem::path p(path);
  return {p.parent_path().string(), p.filename().string()};
}

std::string WithoutTrailingSeparator(std::string folder) {
  while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
  return folder;
}

}  // namespace

FolderWatchBase::Folder& FolderWatchBase::FolderOf(const std::string& folder) {
  auto [it, added] = folders_.try_emplace(folder);
  if (added) it->second.attached = Attach(folder);
  return it->second;
}

void FolderWatchBase::Follow(const std::string& folder) {
  FolderOf(WithoutTrailingSeparator(folder)).all = true;
}

void FolderWatchBase::FollowFile(const std::string& path) {
  auto [folder, name] = Split(path);
  FolderOf(folder).files.try_emplace(Lower(name), true);
}

void FolderWatchBase::Forget(Folder& f) {
  f.states.clear();
  f.arrivals.clear();
  f.arrivals_known = false;
  f.changed = true;
  for (auto& [name, changed] : f.files) changed = true;
  woken_ = true;
}

bool FolderWatchBase::Poll() {
  ReadNotices();
  AnnounceCreated();
  for (auto& [path, f] : folders_) {
    if (f.attached || !Attach(path)) continue;
    // Back (or there at last): what it holds now was never announced.
    f.attached = true;
    Forget(f);
  }
  bool woken = woken_;
  woken_ = false;
  return woken;
}

bool FolderWatchBase::TakeChange(const std::string& path) {
  auto it = folders_.find(WithoutTrailingSeparator(path));
  if (it != folders_.end()) {
    bool changed = it->second.changed || !it->second.attached;
    it->second.changed = false;
    return changed;
  }
  auto [folder, name] = Split(path);
  it = folders_.find(folder);
  if (it == folders_.end()) return true;
  auto file = it->second.files.find(Lower(name));
  if (file == it->second.files.end()) return true;
  bool changed = file->second || !it->second.attached;
  file->second = false;
  return changed;
}

void FolderWatchBase::OnNotice(const std::string& folder, const std::string& name, Notice n) {
  auto it = folders_.find(folder);
  if (it == folders_.end()) return;
  Folder& f = it->second;
  auto followed = f.files.find(Lower(name));
  if (!f.all && followed == f.files.end()) return;
  if (n == Notice::kGone) {
    f.states.erase(name);
    return;
  }
  FileState& s = f.states[name];
  switch (n) {
    case Notice::kCreated:
    case Notice::kModified:
      s.pending = true;
      break;
    case Notice::kOpened:
      ++s.opens;
      break;
    case Notice::kClosedAfterWrite:
      s.pending = false;
      [[fallthrough]];
    case Notice::kClosed:
      if (s.opens > 0) --s.opens;  // opened before the watch began: never counted
      break;
    case Notice::kMovedIn:
      s = FileState{};
      break;
    case Notice::kGone:
      break;
  }
  s.last = std::chrono::steady_clock::now();
  // What may have made a file whole, or a new one appear, is worth a pass now. A write by a
  // writer that holds the file is not; where the system tells no opens, it may be the last.
  // A file created is judged once the notices waiting are read: its writer's open comes
  // with it, and then its close is what makes it whole.
  if (n == Notice::kCreated) created_.emplace_back(folder, name);
  if (n == Notice::kMovedIn || n == Notice::kClosedAfterWrite ||
      (n == Notice::kModified && s.opens == 0))
    Announce(f, name);
}

void FolderWatchBase::AnnounceCreated() {
  for (const auto& [folder, name] : created_) {
    auto it = folders_.find(folder);
    if (it == folders_.end()) continue;
    auto s = it->second.states.find(name);
    if (s != it->second.states.end() && s->second.opens == 0) Announce(it->second, name);
  }
  created_.clear();
}

void FolderWatchBase::Announce(Folder& f, const std::string& name) {
  woken_ = true;
  f.changed = true;
  auto followed = f.files.find(Lower(name));
  if (followed != f.files.end()) followed->second = true;
  FileState& s = f.states[name];
  if (f.all && exact_names_ && !s.arrived) {
    s.arrived = true;
    f.arrivals.push_back(name);
    if (f.arrivals.size() > kMaxArrivals) {
      f.arrivals.clear();
      f.arrivals_known = false;
    }
  }
}

std::optional<std::vector<std::string>> FolderWatchBase::TakeArrivals(const std::string& folder) {
  auto it = folders_.find(WithoutTrailingSeparator(folder));
  if (it == folders_.end()) return std::nullopt;
  Folder& f = it->second;
  bool known = f.arrivals_known && f.attached && exact_names_;
  f.arrivals_known = f.attached;  // a listing now covers what came before
  std::vector<std::string> names;
  for (std::string& name : f.arrivals) {
    auto s = f.states.find(name);
    if (s == f.states.end() || !s->second.arrived) continue;  // gone, or a repeated name
    s->second.arrived = false;
    if (known) names.push_back(std::move(name));
  }
  f.arrivals.clear();
  if (!known) return std::nullopt;
  return names;
}

bool FolderWatchBase::Watching(const std::string& folder) {
  auto it = folders_.find(WithoutTrailingSeparator(folder));
  return it != folders_.end() && it->second.attached;
}

void FolderWatchBase::OnOverflow(const std::string* folder) {
  log_.Warn(std::string("folder watch: notices were lost") +
            (folder ? " for " + *folder : std::string()) +
            "; the files there are judged by their age");
  for (auto& [path, f] : folders_)
    if (!folder || path == *folder) Forget(f);
}

void FolderWatchBase::OnFolderLost(const std::string& folder) {
  auto it = folders_.find(folder);
  if (it == folders_.end() || !it->second.attached) return;
  Detach(folder);
  it->second.attached = false;
  Forget(it->second);
}

bool FolderWatchBase::IsWhole(const std::string& path) {
  auto [folder, name] = Split(path);
  auto it = folders_.find(folder);
  const FileState* s = nullptr;
  if (it != folders_.end() && it->second.attached) {
    auto st = it->second.states.find(name);
    if (st != it->second.states.end()) s = &st->second;
  }
  if (!s) return ByAge(path);
  if (s->opens > 0) return false;
  if (!s->pending) return true;
  if (std::optional<bool> held = HeldByWriter(path)) return !*held;
  // Created or written with no close seen (a hard link, or a writer that opened it before the
  // watch began): once quiet for kMinAge, its age decides.
  if (std::chrono::steady_clock::now() - s->last < kMinAge) return false;
  return ByAge(path);
}

// Old enough, and no writer the system shows holds it: asked only once the age would take it,
// so a file just written costs no look for its writer.
bool FolderWatchBase::ByAge(const std::string& path) {
  if (!OldEnough(path)) return false;
  std::optional<bool> held = HeldByWriter(path);
  return !(held && *held);
}

bool FolderWatchBase::OldEnough(const std::string& path) {
  std::optional<FileIdentity> id = IdentityOf(path);
  if (!id || id->is_folder) return false;
  std::int64_t age = AgeMs(*id);
  if (age >= kMinAge.count()) return true;
  if (age >= 0) return false;
  auto now = std::chrono::steady_clock::now();
  if (ahead_.size() > 1000) ahead_.clear();
  auto [seen, added] = ahead_.try_emplace(path, *id, now);
  if (!added && seen->second.first != *id) seen->second = {*id, now};
  if (now - seen->second.second < kMinAge) return false;
  ahead_.erase(seen);
  return true;
}

}  // namespace valico
