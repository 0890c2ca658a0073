#include <dirent.h>
#include <sys/stat.h>

#include <cctype>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/file_identity.h"
#include "platform/path_mapper.h"

namespace valico {
namespace {

bool IsDriveRooted(std::string_view p) {
  return p.size() >= 2 && std::isalpha(static_cast<unsigned char>(p[0])) && p[1] == ':';
}

bool Exists(const std::string& p) {
  struct stat st;
  return ::lstat(p.c_str(), &st) == 0;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

// What a lookup relied on, to be looked at again before its answer is reused: a folder whose
// entries were scanned (it must be unchanged, or still missing), or the deepest path that was
// found (it must still exist).
struct Check {
  std::string path;
  std::optional<FileIdentity> folder;  // empty: the folder must still be missing
  bool presence_only = false;
};

struct Lookup {
  std::vector<Check> checks;
  std::string deepest_found;
  bool deepest_checked = false;  // a folder check already stands for it
  bool missing = false;          // a component was not found: the rest is taken as written
  bool reusable = true;  // false when a scanned folder changed too lately to trust its stamp
};

// The entry of `dir` that matches `name`: the exact one if present, else one that differs
// only in letter case, else `name` itself (the path may be about to be created).
std::string ResolveEntry(const std::string& dir, const std::string& name, Lookup* lookup) {
  std::string exact = (dir == "/" ? "" : dir) + "/" + name;
  if (Exists(exact)) {
    lookup->deepest_found = exact;
    lookup->deepest_checked = false;
    return name;
  }
  // The folder's stamp is taken before its entries are read, so a change made meanwhile shows.
  std::string folder = dir.empty() ? "/" : dir;
  std::optional<FileIdentity> id = IdentityOf(folder);
  lookup->checks.push_back({folder, id});
  if (lookup->deepest_found == dir) lookup->deepest_checked = true;
  if (!id) {
    lookup->missing = true;
    return name;
  }
  if (IsRecent(*id)) lookup->reusable = false;
  DIR* d = ::opendir(folder.c_str());
  if (!d) {
    lookup->missing = true;
    return name;
  }
  std::string found;
  while (dirent* e = ::readdir(d)) {
    if (SameIgnoringCase(e->d_name, name)) {
      found = e->d_name;
      break;
    }
  }
  ::closedir(d);
  if (found.empty()) {
    lookup->missing = true;
    return name;
  }
  lookup->deepest_found = (dir == "/" ? "" : dir) + "/" + found;
  lookup->deepest_checked = true;  // it cannot go without its folder changing
  return found;
}

bool StillHolds(const Check& c) {
  if (c.presence_only) return Exists(c.path);
  return IdentityOf(c.path) == c.folder;
}

}  // namespace

// Lookups already made, keyed by the path as given. Bounded: emptied when full, so a stream of
// job paths (each looked up once or twice) cannot make it grow.
struct PathMapper::Cache {
  static constexpr size_t kMaxEntries = 256;
  struct Entry {
    std::string native;
    std::vector<Check> checks;
  };
  std::mutex mu;
  std::unordered_map<std::string, Entry> entries;
};

PathMapper::PathMapper(Options options)
    : options_(std::move(options)), cache_(std::make_unique<Cache>()) {}

PathMapper::~PathMapper() = default;

std::string PathMapper::DriveRoot(char letter) const {
  char up = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  auto it = options_.drives.find(up);
  if (it != options_.drives.end()) return it->second;
  return options_.home + "/drive_" +
         static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
}

std::string PathMapper::ToNative(std::string_view path) const { return Map(path, false); }

std::string PathMapper::ToNativeExactName(std::string_view path) const { return Map(path, true); }

std::string PathMapper::Map(std::string_view path, bool exact_last) const {
  std::string key(1, exact_last ? '=' : '~');
  key += path;
  {
    std::lock_guard lock(cache_->mu);
    auto it = cache_->entries.find(key);
    if (it != cache_->entries.end()) {
      bool holds = true;
      for (const Check& c : it->second.checks) holds = holds && StillHolds(c);
      if (holds) return it->second.native;
      cache_->entries.erase(it);
    }
  }

  std::string root;
  std::string_view rest = path;
  if (IsDriveRooted(path)) {
    root = DriveRoot(path[0]);
    rest = path.substr(2);
  } else if (path.empty() || (path[0] != '/' && path[0] != '\\')) {
    // A relative path is taken from the program folder, as the program's working folder is.
    root = options_.home;
  }
  // Split the rest at both kinds of separator and resolve component by component.
  std::string out = root;
  while (!out.empty() && out.size() > 1 && out.back() == '/') out.pop_back();
  if (root.empty()) out.clear();
  Lookup lookup;
  size_t i = 0;
  while (i <= rest.size()) {
    size_t j = rest.find_first_of("\\/", i);
    if (j == std::string_view::npos) j = rest.size();
    std::string comp(rest.substr(i, j - i));
    i = j + 1;
    if (comp.empty() || comp == ".") continue;
    bool last = j >= rest.size();
    std::string dir = out.empty() ? "/" : out;
    // Below a component that was not found nothing can be found: the rest stays as written.
    bool as_written = comp == ".." || (last && exact_last) || lookup.missing;
    std::string name = as_written ? comp : ResolveEntry(out, comp, &lookup);
    out = (dir == "/" ? "" : dir) + "/" + name;
  }
  if (out.empty()) out = root.empty() ? "/" : root;

  // The deepest path found must still be there (exact names found are not rescanned).
  if (!lookup.deepest_found.empty() && !lookup.deepest_checked)
    lookup.checks.push_back({lookup.deepest_found, std::nullopt, true});
  if (lookup.reusable) {
    std::lock_guard lock(cache_->mu);
    if (cache_->entries.size() >= Cache::kMaxEntries) cache_->entries.clear();
    cache_->entries[key] = Cache::Entry{out, std::move(lookup.checks)};
  }
  return out;
}

}  // namespace valico
