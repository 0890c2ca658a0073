#include <cctype>

#include "platform/path_mapper.h"

namespace valico {
namespace {

bool IsDriveRooted(std::string_view p) {
  return p.size() >= 2 && std::isalpha(static_cast<unsigned char>(p[0])) && p[1] == ':';
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// True when `path` is `folder` or lies inside it (letter case and kind of separator ignored).
bool IsWithin(std::string_view path, std::string_view folder) {
  while (!folder.empty() && IsSeparator(folder.back())) folder.remove_suffix(1);
  if (folder.empty() || path.size() < folder.size()) return false;
  for (size_t i = 0; i < folder.size(); ++i) {
    char a = path[i], b = folder[i];
    if (IsSeparator(a) && IsSeparator(b)) continue;
    if (std::tolower(static_cast<unsigned char>(a)) != std::tolower(static_cast<unsigned char>(b)))
      return false;
  }
  return path.size() == folder.size() || IsSeparator(path[folder.size()]);
}

std::string WithBackslashes(std::string_view p) {
  std::string out(p);
  for (char& c : out)
    if (c == '/') c = '\\';
  return out;
}

}  // namespace

// On Windows the system's paths are native paths: a drive letter is the machine's drive and
// names are matched without regard to case by the file system itself. A drive given
// explicitly (--drive X=FOLDER) is still redirected to that folder; tests use this to keep
// their drive C: inside a temporary folder.
// The program folder and the redirected folders themselves are never redirected.
// Mapping is plain text work here: nothing to remember.
struct PathMapper::Cache {};

PathMapper::PathMapper(Options options) : options_(std::move(options)) {}

PathMapper::~PathMapper() = default;

std::string PathMapper::DriveRoot(char letter) const {
  char up = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  auto it = options_.drives.find(up);
  return it != options_.drives.end() ? it->second : std::string();
}

std::string PathMapper::ToNative(std::string_view path) const { return Map(path, false); }

// The file system answers for the letter case; HasExactName checks a name as the folder
// lists it.
std::string PathMapper::ToNativeExactName(std::string_view path) const { return Map(path, true); }

std::string PathMapper::AsWritten(std::string_view path) const { return Map(path, false); }

std::string PathMapper::Map(std::string_view path, bool /*exact_last*/) const {
  // A path inside the program folder or inside a redirected drive's folder is native already,
  // even when it starts with a redirected letter: mapping stays idempotent.
  if (IsWithin(path, options_.home)) return WithBackslashes(path);
  for (const auto& [letter, root] : options_.drives)
    if (IsWithin(path, root)) return WithBackslashes(path);
  std::string out;
  std::string_view rest;
  if (IsDriveRooted(path)) {
    std::string root = DriveRoot(path[0]);
    if (root.empty()) {
      out = std::string(path.substr(0, 2));
      rest = path.substr(2);
    } else {
      out = root;
      rest = path.substr(2);
      while (!out.empty() && IsSeparator(out.back())) out.pop_back();
      if (!rest.empty() && !IsSeparator(rest[0])) out += '\\';
    }
  } else if (!path.empty() && IsSeparator(path[0])) {
    // "\dir" (root of the current drive) or "\\server\share": as it is.
    rest = path;
  } else {
    // A relative path is taken from the program folder, as the program's working folder is.
    out = options_.home;
    while (!out.empty() && IsSeparator(out.back())) out.pop_back();
    if (!path.empty()) out += '\\';
    rest = path;
  }
  out += WithBackslashes(rest);
  if (out.size() == 2 && IsDriveRooted(out)) out += '\\';
  return out;
}

}  // namespace valico
