#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace valico {

// Valico's own files that must survive a crash whole or not at all (the print queue), on
// native paths. Per-OS.

// Writes a new file: the data goes to a temporary file beside it, is forced to the disk and
// the file is then renamed to `native_path`, unless a file of that name exists (false, and
// *exists set). A crash leaves the file whole or absent, never half written.
bool CreateFileDurably(const std::string& native_path, std::string_view data, bool* exists,
                       std::string* err);

// Appends `data` to a file (created when missing) and forces it to the disk before returning.
bool AppendDurably(const std::string& native_path, std::string_view data, std::string* err);

// The names of the entries of a native folder, plain files or folders as asked, in the order
// the system lists them. A missing folder has none; false only when it cannot be listed.
bool ListNativeFolder(const std::string& native_folder, bool folders,
                      std::vector<std::string>* names, std::string* err);

// Removes a file; one that is already gone counts as removed.
bool RemoveNativeFile(const std::string& native_path, std::string* err);

}  // namespace valico
