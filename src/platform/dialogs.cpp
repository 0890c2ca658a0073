#include "platform/dialogs.h"

#include <string>

namespace valico {

void HeadlessDialogs::Message(std::string_view text) {
  log_.Warn("message box: " + std::string(text));
}

bool HeadlessDialogs::Question(std::string_view text, bool default_answer) {
  log_.Info("question: " + std::string(text) + " -> " + (default_answer ? "Yes" : "No"));
  return default_answer;
}

}  // namespace valico
