#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
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

std::string Child(const std::string& dir, std::string_view name) {
  std::string out = dir == "/" ? std::string() : dir;
  out += '/';
  out += name;
  return out;
}

// The entry of `dir` that matches `name`: the exact one if present, else one that differs
// only in letter case, else `name` itself (the path may be about to be created).
// `exact_missing`: the exact entry was just looked for and is not there.
std::string ResolveEntry(const std::string& dir, const std::string& name, bool exact_missing,
                         Lookup* lookup) {
  std::string exact = Child(dir, name);
  if (!exact_missing && Exists(exact)) {
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
  lookup->deepest_found = Child(dir, found);
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

// A settings path taken apart: the native folder it starts from ("" for an absolute path)
// and its components, without empty ones and ".".
struct PathMapper::Parts {
  std::string root;
  std::vector<std::string_view> components;
};

PathMapper::Parts PathMapper::Split(std::string_view path) const {
  Parts parts;
  std::string_view rest = path;
  if (IsDriveRooted(path)) {
    parts.root = DriveRoot(path[0]);
    rest = path.substr(2);
  } else if (path.empty() || (path[0] != '/' && path[0] != '\\')) {
    // A relative path is taken from the program folder, as the program's working folder is.
    parts.root = options_.home;
  }
  while (parts.root.size() > 1 && parts.root.back() == '/') parts.root.pop_back();
  for (size_t i = 0; i <= rest.size();) {
    size_t j = std::min(rest.find_first_of("\\/", i), rest.size());
    std::string_view comp = rest.substr(i, j - i);
    if (!comp.empty() && comp != ".") parts.components.push_back(comp);
    i = j + 1;
  }
  return parts;
}

// Built by appending, as Child would join each component: a job's path is mapped twice.
std::string PathMapper::AsWritten(std::string_view path) const {
  Parts parts = Split(path);
  std::string out = parts.root == "/" ? std::string() : parts.root;
  for (std::string_view comp : parts.components) (out += '/') += comp;
  if (out.empty()) out = "/";
  return out;
}

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

  // written[i]: the folder the path starts from and its first i components, as written.
  Parts parts = Split(path);
  const size_t n = parts.components.size();
  std::vector<std::string> written(n + 1);
  written[0] = parts.root.empty() ? "/" : parts.root;
  for (size_t i = 0; i < n; ++i) written[i + 1] = Child(written[i], parts.components[i]);
  // A path that exists as written is its own answer, as an exact name wins at every level:
  // one look, however deep it lies. Otherwise the components below the deepest part that
  // exists as written are looked up one by one.
  size_t found = n;
  while (found > 0 && !Exists(written[found])) --found;
  if (found == n) return written[n];

  Lookup lookup;
  if (found > 0) lookup.deepest_found = written[found];
  std::string out = written[found];
  for (size_t i = found; i < n; ++i) {
    std::string comp(parts.components[i]);
    // Below a component that was not found nothing can be found: the rest stays as written.
    bool as_written = comp == ".." || (i + 1 == n && exact_last) || lookup.missing;
    std::string name = as_written ? comp : ResolveEntry(out, comp, i == found, &lookup);
    out = Child(out, name);
  }

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
