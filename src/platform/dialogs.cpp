#include "platform/dialogs.h"

#include <string>

namespace valico {

void HeadlessDialogs::Message(std::string_view text, std::string_view title) {
  std::string box = title.empty() ? "message box" : "message box \"" + std::string(title) + "\"";
  log_.Warn(box + ": " + std::string(text));
}

bool HeadlessDialogs::Question(std::string_view text, bool default_answer) {
  log_.Info("question: " + std::string(text) + " -> " + (default_answer ? "Yes" : "No"));
  return default_answer;
}

}  // namespace valico
