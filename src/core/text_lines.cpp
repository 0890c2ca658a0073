#include "core/text_lines.h"

#include "platform/files.h"

namespace valico {

std::vector<std::string> SplitTextLines(std::string_view bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t cr = bytes.find('\r', start);
    if (cr == std::string_view::npos) {
      lines.emplace_back(bytes.substr(start));
      break;
    }
    lines.emplace_back(bytes.substr(start, cr - start));
    start = cr + 1;
    if (start < bytes.size() && bytes[start] == '\n') ++start;
  }
  return lines;
}

bool ReadTextLines(const Files& files, std::string_view path, std::vector<std::string>* lines,
                   std::string* err) {
  lines->clear();
  std::string bytes;
  if (!files.ReadAll(path, &bytes, err)) return false;
  *lines = SplitTextLines(bytes);
  return true;
}

}  // namespace valico
