#include "gui_win32/tray_icon.h"

#include <shellapi.h>

#include <cstring>

namespace valico::gui {
namespace {

// The original's 8-bit record, 88 bytes: a tooltip of up to 63 characters, no balloons.
NOTIFYICONDATAA Record(HWND window) {
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = window;
  data.uID = kTrayIconId;
  return data;
}

}  // namespace

bool TrayIcon::Add() {
  if (added_) return true;
  NOTIFYICONDATAA data = Record(window_);
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kTrayMessage;
  data.hIcon = icon_;
  ::GetWindowTextA(window_, data.szTip, sizeof(data.szTip));
  added_ = ::Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
  return added_;
}

void TrayIcon::Remove() {
  if (!added_) return;
  NOTIFYICONDATAA data = Record(window_);
  ::Shell_NotifyIconA(NIM_DELETE, &data);
  added_ = false;
}

void TrayIcon::AddAgain() {
  if (!added_) return;
  added_ = false;
  Add();
}

}  // namespace valico::gui
