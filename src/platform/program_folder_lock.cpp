#include "platform/program_folder_lock.h"

#include <cstdint>
#include <cstdio>

namespace valico {

std::string KeyOfFolderPath(std::string_view path) {
  std::uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : path) hash = (hash ^ c) * 1099511628211ull;
  char key[32];
  std::snprintf(key, sizeof(key), "Valico-%016llx", static_cast<unsigned long long>(hash));
  return key;
}

}  // namespace valico
