#pragma once

#include <windows.h>
// After windows.h, whose types it uses.
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>

#include "config_ui/main_window.h"
#include "core/context.h"
#include "gui_win32/tool_windows.h"
#include "gui_win32/tray_icon.h"
#include "shell/service.h"

namespace valico::gui {

// The message that asks a pass of the tick at once (a pass that left jobs behind).
inline constexpr UINT kPassMessage = WM_APP + 2;
// The message that drops the selection of the field that has the focus.
inline constexpr UINT kUnselectMessage = WM_APP + 3;
inline constexpr UINT_PTR kTickTimer = 1;

// The configuration window of the tray program, from its dialog resource: draws the form
// model's controls and hands their edits back to it, and is the window toolkit of MainWindow,
// which decides what the buttons, the menus, the tray icon and the close box do. Its 500 ms
// timer drives the device work between window messages. Main thread only.
class MainDialog : public WindowToolkit {
 public:
  // `show_message`: the registered message by which a second start asks for the window.
  MainDialog(Context& ctx, Dialogs& dialogs, UINT show_message);
  ~MainDialog() override;
  MainDialog(const MainDialog&) = delete;
  MainDialog& operator=(const MainDialog&) = delete;

  // Creates the window, hidden. False when it could not be created.
  bool Create();
  // The end of the load: the controls show the loaded form, the window hides to the tray and
  // the timer starts driving `ticks`.
  void LoadEnded(ServiceTicks& ticks);
  // A pass of the tick, unless the window no longer ticks or a pass is running already (a
  // message box opened by a pass lets the timer fire meanwhile).
  void Pass();
  // Lets the program's dialogs handle their keyboard (Tab, Enter).
  bool IsDialogMessageOfAny(MSG* message);
  bool Finished() const { return window_.Finished(); }
  // What runs when Windows ends the session: the process may be ended once it returns.
  void OnSessionEnd(std::function<void()> end) { session_end_ = std::move(end); }

  void SetVisible(bool visible) override;
  bool AddTrayIcon() override;
  void RemoveTrayIcon() override;

 private:
  static INT_PTR CALLBACK Proc(HWND window, UINT message, WPARAM wp, LPARAM lp);
  INT_PTR Handle(UINT message, WPARAM wp, LPARAM lp);
  void OnCommand(int id, int code);
  void Initialise();
  void AddTooltips();
  void TipText(NMTTDISPINFOA* info);
  void Unselect();
  void FormToControls();
  void ControlFromForm(const char* name, int id);
  void ControlToForm(const char* name, int id, int code);
  void OpenTool(ToolWindow tool);
  void Command1();

  Context& ctx_;
  Dialogs& dialogs_;
  MainWindow window_;
  UINT show_message_;
  UINT taskbar_created_;
  HWND hwnd_ = nullptr;
  HICON icon_ = nullptr, small_icon_ = nullptr;
  std::unique_ptr<TrayIcon> tray_;
  ServiceTicks* ticks_ = nullptr;
  ToolHost tool_host_;
  HWND tools_[kToolWindows] = {};
  std::string tip_;       // the tooltip showing
  bool filling_ = false;  // the controls are being set from the form: not an edit
  bool in_pass_ = false;
  std::function<void()> session_end_;
};

}  // namespace valico::gui
