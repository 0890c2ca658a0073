#pragma once

#include "config_ui/form_model.h"
#include "platform/dialogs.h"
#include "platform/serial_control.h"
#include "settings/config.h"
#include "settings/ini_store.h"

namespace valico {

// The main window's caption, also the tray icon's tooltip.
inline constexpr const char* kWindowCaption = "Valico - Versione " VALICO_VERSION;
inline constexpr const char* kExitQuestion = "Chiudere il programma";
// The mouse message a tray icon reports when its left button is released.
inline constexpr int kTrayLeftButtonUp = 514;

// What a GUI toolkit does for the main window; MainWindow decides when.
class WindowToolkit {
 public:
  virtual ~WindowToolkit() = default;
  virtual void SetVisible(bool visible) = 0;
  // Adds the window's tray icon (AggiungiIcona); adding it again has no effect. False when
  // the icon could not be added: the program then runs on without it.
  virtual bool AddTrayIcon() = 0;
  virtual void RemoveTrayIcon() = 0;  // TogliIcona
};

// Loading -> Hidden <-> Shown -> Ended. The polling timer ticks in Hidden and Shown.
enum class MainWindowState { kLoading, kHidden, kShown, kEnded };

// The small windows opened from the menus. Each is a single instance shown beside the main
// window without blocking it; the program ends only once they are closed too.
enum class ToolWindow { kAbout, kSlipTest, kPrinterList, kPrintStatus, kDoctor };
inline constexpr int kToolWindows = 5;

// The main window's behaviour without a toolkit, shared by the Win32 and the Qt window: the
// states, hiding and showing through the tray icon, the exit with its question, the save and
// the store of the second receipt printer. The window's edits live in the form model and
// reach neither _Valico.ini nor the configuration model before the save. Main thread only.
class MainWindow {
 public:
  // What the save writes and reloads.
  struct Settings {
    IniStore& ini;
    Config& cfg;
    FormModel& form;
    SerialControl& mscomm1;       // the display's port, closed by "Esci"
    SerialControl& com_preconto;  // reloaded by the save
  };

  MainWindow(Settings settings, Dialogs& dialogs, DiagLog& log, WindowToolkit& toolkit)
      : s_(settings), dialogs_(dialogs), log_(log), toolkit_(toolkit) {}

  MainWindowState state() const { return state_; }
  // Whether the polling timer runs: from the end of the load until the window is unloaded.
  bool Ticking() const {
    return state_ == MainWindowState::kHidden || state_ == MainWindowState::kShown;
  }
  // Whether the program ends now: the window is unloaded and no tool window is open.
  bool Finished() const { return state_ == MainWindowState::kEnded && open_tools_ == 0; }

  // The end of the load, after the settings were loaded: hide the window, add the icon.
  void LoadEnded();
  void cmdNascondi_Click();  // "NASCONDI": hide to the tray
  // A mouse event on the tray icon: the left button released shows the window; every other
  // event (right button, double click) is ignored.
  void TrayCallback(int mouse_message);
  // "Esci": closes the display port, then asks "Chiudere il programma"; Yes unloads the
  // window, No hides it to the tray.
  void Esci_Click();
  // The close box unloads the window as a Yes would, without the question.
  void CloseBox();
  // "SALVA CONFIGURAZIONE": writes the window's settings and reloads them into the model and
  // the controls. Shows no message.
  void cmdSalva_Click();
  // The text of RF_FILE_2 changed (each keystroke): stores the second receipt printer.
  void RF_FILE_2_Change();

  // A menu opens a tool window: true when the toolkit must create it, false when it is open
  // already and only comes forward.
  bool OpenTool(ToolWindow tool);
  void ToolClosed(ToolWindow tool);
  bool ToolOpen(ToolWindow tool) const { return (open_tools_ & Bit(tool)) != 0; }

 private:
  static unsigned Bit(ToolWindow tool) { return 1u << static_cast<unsigned>(tool); }
  void HideToTray();
  void Unload();

  Settings s_;
  Dialogs& dialogs_;
  DiagLog& log_;
  WindowToolkit& toolkit_;
  MainWindowState state_ = MainWindowState::kLoading;
  unsigned open_tools_ = 0;
  bool icon_missing_ = false;  // said once in the log until an icon is added again
};

}  // namespace valico
