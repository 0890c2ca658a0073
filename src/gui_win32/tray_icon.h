#pragma once

#include <windows.h>

namespace valico::gui {

// The message the tray icon sends its window; its lParam is the mouse message (514: the left
// button released).
inline constexpr UINT kTrayMessage = WM_APP + 1;
inline constexpr UINT kTrayIconId = 1;

// The window's icon in the notification area, with the window's caption as its tooltip.
class TrayIcon {
 public:
  TrayIcon(HWND window, HICON icon) : window_(window), icon_(icon) {}
  ~TrayIcon() { Remove(); }
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Adds the icon; adding it again has no effect. False when the shell refused it.
  bool Add();
  void Remove();
  // Explorer started again (the message "TaskbarCreated"): its new taskbar has no icons, so
  // one that was there is added again.
  void AddAgain();

 private:
  HWND window_;
  HICON icon_;
  bool added_ = false;
};

}  // namespace valico::gui
