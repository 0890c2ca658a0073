#pragma once

#include <string_view>

#include "platform/diag_log.h"

namespace valico {

// Message boxes. The window answers them on screen; the headless service writes them to the
// diagnostic log and answers for the user.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual void Message(std::string_view text) = 0;                        // OK only
  virtual bool Question(std::string_view text, bool default_answer) = 0;  // Yes = true
};

class HeadlessDialogs : public Dialogs {
 public:
  explicit HeadlessDialogs(DiagLog& log) : log_(log) {}
  void Message(std::string_view text) override;
  bool Question(std::string_view text, bool default_answer) override;

 private:
  DiagLog& log_;
};

}  // namespace valico
