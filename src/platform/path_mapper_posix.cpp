#include <dirent.h>
#include <sys/stat.h>

#include <cctype>

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

// The entry of `dir` that matches `name`: the exact one if present, else one that differs
// only in letter case, else `name` itself (the path may be about to be created).
std::string ResolveEntry(const std::string& dir, const std::string& name) {
  std::string exact = dir + "/" + name;
  if (Exists(exact)) return name;
  DIR* d = ::opendir(dir.empty() ? "/" : dir.c_str());
  if (!d) return name;
  std::string found = name;
  while (dirent* e = ::readdir(d)) {
    if (SameIgnoringCase(e->d_name, name)) {
      found = e->d_name;
      break;
    }
  }
  ::closedir(d);
  return found;
}

}  // namespace

PathMapper::PathMapper(Options options) : options_(std::move(options)) {}

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
  size_t i = 0;
  while (i <= rest.size()) {
    size_t j = rest.find_first_of("\\/", i);
    if (j == std::string_view::npos) j = rest.size();
    std::string comp(rest.substr(i, j - i));
    i = j + 1;
    if (comp.empty() || comp == ".") continue;
    bool last = j >= rest.size();
    std::string dir = out.empty() ? "/" : out;
    std::string name = (comp == ".." || (last && exact_last)) ? comp : ResolveEntry(out, comp);
    out = (dir == "/" ? "" : dir) + "/" + name;
  }
  if (out.empty()) out = root.empty() ? "/" : root;
  return out;
}

}  // namespace valico
