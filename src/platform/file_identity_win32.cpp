#include <windows.h>

#include "platform/file_identity.h"

namespace valico {
namespace {

// A FILETIME (100 ns since 1601) as nanoseconds since 1970.
std::int64_t Ns(const FILETIME& t) {
  std::int64_t ticks = (static_cast<std::int64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  return (ticks - 116444736000000000LL) * 100;
}

}  // namespace

// One call that reads the directory entry; a replaced file shows through its size, its
// creation time or its write time.
std::optional<FileIdentity> IdentityOf(const std::string& native_path) {
  WIN32_FILE_ATTRIBUTE_DATA d;
  if (!::GetFileAttributesExA(native_path.c_str(), GetFileExInfoStandard, &d)) return std::nullopt;
  return FileIdentity{0,
                      0,
                      (static_cast<std::uint64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow,
                      Ns(d.ftLastWriteTime),
                      Ns(d.ftCreationTime),
                      (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0};
}

}  // namespace valico
