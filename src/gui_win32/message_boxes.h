#pragma once

#include <memory>

#include "platform/dialogs.h"

namespace valico::gui {

// The tray program's message boxes: shown on screen (and written to the log), task-modal, so
// the program's windows wait for the answer while the window's timer goes on firing.
class MessageBoxDialogs : public Dialogs {
 public:
  explicit MessageBoxDialogs(DiagLog& log) : log_(log) {}
  using Dialogs::Message;
  void Message(std::string_view text, std::string_view title) override;
  bool Question(std::string_view text, bool default_answer) override;

  static std::unique_ptr<Dialogs> Make(DiagLog& log) {
    return std::make_unique<MessageBoxDialogs>(log);
  }

 private:
  DiagLog& log_;
};

// The title of a box that names none: the application's.
inline constexpr const char* kApplicationTitle = "Valico";

}  // namespace valico::gui
