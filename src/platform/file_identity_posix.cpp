#include <sys/stat.h>

#include "platform/file_identity.h"

namespace valico {
namespace {

std::int64_t Ns(const timespec& t) {
  return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

}  // namespace

std::optional<FileIdentity> IdentityOf(const std::string& native_path) {
  struct stat st;
  if (::stat(native_path.c_str(), &st) != 0) return std::nullopt;
  return FileIdentity{static_cast<std::uint64_t>(st.st_dev),
                      static_cast<std::uint64_t>(st.st_ino),
                      static_cast<std::uint64_t>(st.st_size),
                      Ns(st.st_mtim),
                      Ns(st.st_ctim),
                      S_ISDIR(st.st_mode)};
}

}  // namespace valico
