#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace valico {

// Turns the system's Windows-shaped paths ("C:\CALDERA\_Local.ini", "<home>\IN\job.txt")
// into paths this machine can open. On Windows they are used as they are; on POSIX a drive
// letter maps to a configured root folder and an existing component whose case differs is
// found without regard to case, as Windows would. Safe to use from several threads.
class PathMapper {
 public:
  struct Options {
    std::string home;                    // program folder, native form
    std::map<char, std::string> drives;  // upper-case drive letter -> native root folder
  };

  explicit PathMapper(Options options);
  ~PathMapper();
  PathMapper(const PathMapper&) = delete;
  PathMapper& operator=(const PathMapper&) = delete;

  const std::string& home() const { return options_.home; }

  // Native path for a settings path. Components that exist with other letter case are
  // resolved to the existing entry (an exact match wins). On POSIX a path that exists as
  // written costs one stat, however deep it lies; one whose letter case had to be resolved
  // costs one stat per folder it was found in while those folders are unchanged.
  std::string ToNative(std::string_view path) const;

  // As ToNative, but the last component must match with its exact case; used where the
  // system asks for a file "as the folder lists it". Folders on the way still resolve.
  std::string ToNativeExactName(std::string_view path) const;

  // The native path with every component as written, from text alone (no look at the disk):
  // what ToNative returns when each component exists with its exact letter case. An
  // operation on a file that should exist may try it first, and look the path up with
  // ToNative only when nothing is there.
  std::string AsWritten(std::string_view path) const;

  // Native root folder of a drive letter (POSIX only; "" on Windows).
  std::string DriveRoot(char letter) const;

 private:
  struct Cache;  // what earlier lookups found (POSIX)
  struct Parts;  // a path taken apart (POSIX)

  Parts Split(std::string_view path) const;
  std::string Map(std::string_view path, bool exact_last) const;
  Options options_;
  std::unique_ptr<Cache> cache_;
};

// Joins a folder and a name with "\" the way the system builds its paths.
std::string JoinPath(std::string_view folder, std::string_view name);

}  // namespace valico
