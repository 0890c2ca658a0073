#pragma once

#include "platform/dialogs.h"

namespace valico {

// The message boxes of the tray program: modal Qt boxes with the application's title.
class QtDialogs : public Dialogs {
 public:
  static constexpr const char* kApplicationTitle = "Valico";
  using Dialogs::Message;
  void Message(std::string_view text, std::string_view title) override;
  bool Question(std::string_view text, bool default_answer) override;
};

}  // namespace valico
