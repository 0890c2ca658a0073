#pragma once

#include <filesystem>
#include <string>

namespace valico {

// std::filesystem paths to and from the narrow native paths every other platform call takes.
// On POSIX the bytes pass as they are. On Windows the narrow form is the ANSI code page
// (Windows-1252 in Italian shops: "C:\Caff\xe8"), while the C++ runtime would read narrow
// strings as UTF-8 and mangle or refuse names with bytes 0x80-0xFF. Per-OS.
std::filesystem::path FsPath(const std::string& native);
std::string NarrowPath(const std::filesystem::path& path);

// `name` inside the native folder `folder`, joined with the system's separator.
inline std::string InNativeFolder(const std::string& folder, const std::string& name) {
  // Where the separator is '/' and bytes pass as they are, a plain name is joined as text,
  // with the result of the path join: a burst of jobs joins thousands of names.
  if constexpr (std::filesystem::path::preferred_separator == '/') {
    if (!folder.empty() && !name.empty() && name.front() != '/')
      return folder.back() == '/' ? folder + name : folder + '/' + name;
  }
  return NarrowPath(FsPath(folder) / FsPath(name));
}

// The absolute form of a native path (from the current folder), with "." and ".." resolved;
// the path as it is when it cannot be made absolute. Per-OS.
std::string AbsoluteNativePath(const std::string& native);

}  // namespace valico
