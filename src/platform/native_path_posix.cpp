#include "platform/native_path.h"

namespace valico {

std::filesystem::path FsPath(const std::string& native) { return std::filesystem::path(native); }

std::string NarrowPath(const std::filesystem::path& path) { return path.string(); }

std::string AbsoluteNativePath(const std::string& native) {
  std::error_code ec;
  auto abs = std::filesystem::absolute(native, ec);
  if (ec) return native;
  std::string normal = abs.lexically_normal().string();
  if (normal.size() > 1 && normal.back() == '/') normal.pop_back();  // "/srv/." is "/srv"
  return normal;
}

}  // namespace valico
