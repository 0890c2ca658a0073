#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/path_mapper.h"

namespace valico {

// What a file looks like at one moment: enough to tell whether a writer is still at it.
struct FileStamp {
  std::uintmax_t size = 0;
  std::int64_t modified_ns = 0;
  bool operator==(const FileStamp&) const = default;
};

// What reading a whole file found.
enum class ReadStatus {
  kRead,
  kMissing,  // no such file, or no such folder on its way
  kFailed,   // a folder, a file that cannot be read, or one larger than the limit
};

inline constexpr std::size_t kNoSizeLimit = static_cast<std::size_t>(-1);

// The new content of a file, given its current content ("" for a missing file); nothing to
// leave the file as it is.
using FileEdit = std::function<std::optional<std::string>(const std::string& current)>;

// File operations on the system's paths. Every path is a settings path (see PathMapper);
// failures return false and say why in *err (err may be null).
class Files {
 public:
  explicit Files(const PathMapper& mapper) : mapper_(mapper) {}

  const PathMapper& mapper() const { return mapper_; }
  std::string Native(std::string_view path) const { return mapper_.ToNative(path); }

  bool Exists(std::string_view path) const;  // a file or a folder
  bool IsFile(std::string_view path) const;  // a plain file
  bool IsFolder(std::string_view path) const;
  // True when the folder holds a file whose name, as the folder lists it, is exactly `name`.
  bool HasExactName(std::string_view folder, std::string_view name) const;
  std::optional<FileStamp> Stamp(std::string_view path) const;

  bool CreateFolder(std::string_view path, std::string* err) const;
  bool Remove(std::string_view path, std::string* err) const;  // a missing file is an error
  // Moves a file; fails when the target exists (the caller deletes it first) or, on Windows,
  // while another program holds the source open.
  bool Rename(std::string_view from, std::string_view to, std::string* err) const;
  bool Copy(std::string_view from, std::string_view to, std::string* err) const;  // replaces
  // Names (not paths) of the plain files in a folder, in the order the platform lists them.
  // When the listing fails part way, the names found so far, and the reason in *err.
  std::vector<std::string> ListFiles(std::string_view folder, std::string* err) const;
  // Gives `visit` the names of the plain files of a folder, in the order the platform lists
  // them, until it returns false: a caller that wants only the first few reads no further.
  // False, with the reason, when the listing could not start or failed part way.
  bool VisitFiles(std::string_view folder, const std::function<bool(const std::string&)>& visit,
                  std::string* err) const;

  // Reads the whole file, failing (with the reason) on one larger than `limit` bytes.
  ReadStatus Read(std::string_view path, std::string* out, std::string* err,
                  std::size_t limit = kNoSizeLimit) const;
  bool ReadAll(std::string_view path, std::string* out, std::string* err) const;  // missing: false
  // Replaces the file's content so that nothing, not a crash, a full disk nor another writer,
  // leaves anything but the old file or the new one: see ReplaceNativeFile.
  bool WriteAtomically(std::string_view path, std::string_view data, std::string* err) const;
  // Reads the file, edits it and replaces it as WriteAtomically does, all while holding the
  // lock that Valico's writers of the file share, so that no writer's update is lost between
  // another's read and replace. Fails, leaving the file as it was, when the current content
  // cannot be read (or is larger than `limit` bytes) or the new one cannot be written.
  bool Update(std::string_view path, std::size_t limit, const FileEdit& edit,
              std::string* err) const;
  bool Append(std::string_view path, std::string_view data, std::string* err) const;

 private:
  const PathMapper& mapper_;
};

// Files::WriteAtomically on a native path, for the few files named on the command line.
bool WriteNativeFileAtomically(const std::string& native_path, std::string_view data,
                               std::string* err);

// The per-OS parts of reading and replacing whole files, on native paths.
//
// Reading never blocks on a writer and never sees half a file: writers replace files whole.
ReadStatus ReadNativeFile(const std::string& native_path, std::size_t limit, std::string* out,
                          std::string* err);
// Replacing a file: the new content goes to a temporary file of a name no other writer uses,
// in the same folder; it is forced to the disk, given the old file's owner, group and mode
// (POSIX, where the system allows it) or attributes (Windows; its security is the folder's,
// as for any file created there), and renamed over the old file in one step. A file the caller
// could not write in place (read-only, another user's, a folder) is refused, as Windows refuses it,
// also to root and administrators; a folder that refuses the temporary file fails the write. The
// old file is never truncated. Writers in Valico's processes take turns through a lock; temporary
// files that a writer killed half way left behind are removed by the next one.
bool ReplaceNativeFile(const std::string& native_path, std::string_view data, std::string* err);
bool UpdateNativeFile(const std::string& native_path, std::size_t limit, const FileEdit& edit,
                      std::string* err);

// Moves a file between native paths without ever replacing an existing target. Fails, with
// the reason in *err, when the target exists or (on Windows) while another program still
// holds the source open: the writer has not finished with it. Per-OS.
bool MoveWithoutReplace(const std::string& from_native, const std::string& to_native,
                        std::string* err);

// True when a native path names a plain file (through a link): what VisitNativeFiles lists.
bool IsNativeFile(const std::string& native);

// Files::VisitFiles on a native folder. Per-OS.
bool VisitNativeFiles(const std::string& native_folder,
                      const std::function<bool(const std::string&)>& visit, std::string* err);

// Deletes the file at a native path if there is one; false, with the reason, when it is there
// and stays.
bool RemoveNativeIfPresent(const std::string& native, std::string* err);

// Creates a native folder and any missing folders above it; true when it is there after.
bool CreateNativeFolders(const std::string& native, std::string* err);

// Copies a file between native paths, replacing the target if it exists. Per-OS (the MinGW
// runtime's std::filesystem::copy_file refuses to replace any file on Windows).
bool CopyReplacing(const std::string& from_native, const std::string& to_native, std::string* err);

// Joins a folder and a name with "\" the way the system builds its paths.
std::string JoinPath(std::string_view folder, std::string_view name);

}  // namespace valico
