#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace valico {

// Which file a path names and how it last changed, from one look at it (one stat). Two equal
// identities mean the file was neither replaced nor written in between, as far as the file
// system's time stamps can tell: see IsRecent for the case they cannot.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t file = 0;  // inode (POSIX); 0 where the system gives none cheaply (Windows)
  std::uint64_t size = 0;
  std::int64_t modified_ns = 0;  // since 1970-01-01 UTC
  std::int64_t changed_ns = 0;   // status change (POSIX ctime; Windows: creation time)
  bool is_folder = false;
  bool operator==(const FileIdentity&) const = default;
};

// The identity of the file or folder at a native path, or empty when there is none. Per-OS.
std::optional<FileIdentity> IdentityOf(const std::string& native_path);

// True when the file changed so lately that a later change could still leave its time stamps
// as they are (time stamps are coarse: a few milliseconds on Linux, two seconds on FAT): an
// identity taken now must not be trusted to show the next change.
bool IsRecent(const FileIdentity& id);

// Milliseconds since the file was last written (negative when its time lies in the future).
std::int64_t AgeMs(const FileIdentity& id);

}  // namespace valico
