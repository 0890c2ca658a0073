#pragma once

#include <chrono>
#include <cstdint>
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

  bool ReadAll(std::string_view path, std::string* out, std::string* err) const;
  // Replaces the file's content so that a crash leaves the old or the new file, never a mix:
  // writes a temporary file beside it, flushes it and renames it over the old one. Falls back
  // to writing in place when the folder refuses the temporary file.
  bool WriteAtomically(std::string_view path, std::string_view data, std::string* err) const;
  bool Append(std::string_view path, std::string_view data, std::string* err) const;

 private:
  const PathMapper& mapper_;
};

// Files::WriteAtomically on a native path, for the few files named on the command line.
bool WriteNativeFileAtomically(const std::string& native_path, std::string_view data,
                               std::string* err);

// Forces a written file's data to the disk (fsync / FlushFileBuffers). Per-OS.
bool FlushToDisk(const std::string& native_path);

// Moves a file between native paths without ever replacing an existing target. Fails, with
// the reason in *err, when the target exists or (on Windows) while another program still
// holds the source open: the writer has not finished with it. Per-OS.
bool MoveWithoutReplace(const std::string& from_native, const std::string& to_native,
                        std::string* err);

// Copies a file between native paths, replacing the target if it exists. Per-OS (the MinGW
// runtime's std::filesystem::copy_file refuses to replace any file on Windows).
bool CopyReplacing(const std::string& from_native, const std::string& to_native, std::string* err);

// Joins a folder and a name with "\" the way the system builds its paths.
std::string JoinPath(std::string_view folder, std::string_view name);

}  // namespace valico
