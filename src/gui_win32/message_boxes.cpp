#include "gui_win32/message_boxes.h"

#include <windows.h>

#include <string>

namespace valico::gui {

void MessageBoxDialogs::Message(std::string_view text, std::string_view title) {
  std::string t(text), caption(title.empty() ? kApplicationTitle : title);
  log_.Info("message box \"" + caption + "\": " + t);
  ::MessageBoxA(nullptr, t.c_str(), caption.c_str(), MB_OK | MB_TASKMODAL | MB_SETFOREGROUND);
}

bool MessageBoxDialogs::Question(std::string_view text, bool default_answer) {
  std::string t(text);
  UINT type = MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL | MB_SETFOREGROUND |
              (default_answer ? MB_DEFBUTTON1 : MB_DEFBUTTON2);
  bool yes = ::MessageBoxA(nullptr, t.c_str(), kApplicationTitle, type) == IDYES;
  log_.Info("question: " + t + " -> " + (yes ? "Yes" : "No"));
  return yes;
}

}  // namespace valico::gui
