#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QSocketNotifier>
#include <QSystemTrayIcon>
#include <QTimer>
#include <functional>
#include <memory>

#include "config_ui/main_window.h"
#include "core/context.h"
#include "gui_qt/config_window.h"
#include "shell/service.h"

namespace valico {

// The desktop tray program over one context: the configuration window, the tray icon, the
// tool windows and the service's ticks, all on the GUI thread. What the window does (hide,
// show, save, exit) is MainWindow's; this class is its toolkit and routes Qt's events to it.
// The window is built when it is first shown, not at the start: a program that only sits in
// the tray and ticks never loads the widgets' fonts, styles and text shaping.
class TrayProgram : public QObject, public WindowToolkit {
  Q_OBJECT

 public:
  // Tells whether the desktop shows tray icons now. Without one the window hides minimised
  // into the task bar instead, so the program stays reachable; a tray that appears later (a
  // panel started after the session's autostart) takes the icon then.
  using TrayCheck = std::function<bool()>;
  TrayProgram(Context& ctx, TrayCheck tray_available);
  ~TrayProgram() override;

  // The load: the start-up sequence, the icon in the tray (without a tray, the window built and
  // minimised); then a tick every 500 ms, and one at once when a job arrives.
  void Start();

  MainWindow& main() { return main_; }
  // The configuration window, built now if it was not yet.
  ConfigWindow& window();
  bool window_built() const { return window_ != nullptr; }
  QSystemTrayIcon& tray() { return tray_; }
  QDialog* tool(ToolWindow which) const { return tools_[static_cast<int>(which)]; }

  // WindowToolkit
  void SetVisible(bool visible) override;
  bool AddTrayIcon() override;
  void RemoveTrayIcon() override;

 signals:
  void finished();  // the window is unloaded and no tool window is open: the program ends

 public slots:
  void Tick();

 private:
  void OnCommand(WindowCommand command);
  void OnTray(QSystemTrayIcon::ActivationReason reason);
  void OpenTool(ToolWindow which);
  void EndIfFinished();
  void LookForTray();
  void OnWake(const std::function<bool()>& woken);

  Context& ctx_;
  TrayCheck tray_check_;
  bool tray_available_ = false;
  int ticks_without_tray_ = 0;
  MainWindow main_;
  std::unique_ptr<ConfigWindow> window_;
  QSystemTrayIcon tray_;
  std::unique_ptr<ServiceTicks> service_;
  QTimer timer_;
  std::unique_ptr<QSocketNotifier> wake_;
  bool in_tick_ = false;
  bool wake_held_ = false;  // the wake-up is off until the tick that held it ends
  QPointer<QDialog> tools_[kToolWindows];
};

}  // namespace valico
