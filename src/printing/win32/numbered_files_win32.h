#pragma once

#include <string>

namespace valico {

// Creates a new, empty file "<folder>\NNNNNN <device><extension>" (the folder is created when
// missing), numbered one past the highest number already in the folder, so that documents
// written there never overwrite each other, even from two programs at once. Characters that a
// file name cannot hold become "_". Returns the file's path, or "" with *err.
std::string CreateNumberedFile(const std::string& native_folder, const std::string& device,
                               const std::string& extension, std::string* err);

}  // namespace valico
