#include "shell/doctor.h"

#include <algorithm>

namespace valico {

std::string DoctorText(const std::vector<DoctorLine>& lines, std::string_view ok_mark,
                       std::string_view failed_mark) {
  std::string text;
  for (const DoctorLine& l : lines) {
    text += std::string(l.ok ? ok_mark : failed_mark) + " " + l.subject + ": " + l.found;
    if (!l.ok) text += "; da fare: " + l.todo;
    text += "\n";
  }
  size_t failed = std::count_if(lines.begin(), lines.end(), [](auto& l) { return !l.ok; });
  text += failed == 0 ? "Esito: tutti i controlli superati\n"
                      : "Esito: " + std::to_string(failed) + " controlli su " +
                            std::to_string(lines.size()) + " non superati\n";
  return text;
}

bool AllPassed(const std::vector<DoctorLine>& lines) {
  return std::all_of(lines.begin(), lines.end(), [](const DoctorLine& l) { return l.ok; });
}

}  // namespace valico
