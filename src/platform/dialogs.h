#pragma once

#include <string_view>

#include "platform/diag_log.h"

namespace valico {

// Message boxes. The window answers them on screen; the headless service writes them to the
// diagnostic log and answers for the user.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // A message with an OK button, under `title` (the application's title when empty).
  virtual void Message(std::string_view text, std::string_view title) = 0;
  void Message(std::string_view text) { Message(text, {}); }
  virtual bool Question(std::string_view text, bool default_answer) = 0;  // Yes = true
};

class HeadlessDialogs : public Dialogs {
 public:
  explicit HeadlessDialogs(DiagLog& log) : log_(log) {}
  using Dialogs::Message;
  void Message(std::string_view text, std::string_view title) override;
  bool Question(std::string_view text, bool default_answer) override;

 private:
  DiagLog& log_;
};

}  // namespace valico
