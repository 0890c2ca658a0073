#include "config_ui/main_window.h"

#include "config_ui/load_settings.h"
#include "config_ui/save_settings.h"

namespace valico {

void MainWindow::LoadEnded() {
  if (state_ == MainWindowState::kLoading) HideToTray();
}

void MainWindow::cmdNascondi_Click() {
  if (state_ != MainWindowState::kEnded) HideToTray();
}

void MainWindow::TrayCallback(int mouse_message) {
  if (mouse_message != kTrayLeftButtonUp || !Ticking()) return;
  toolkit_.SetVisible(true);
  state_ = MainWindowState::kShown;
}

void MainWindow::Esci_Click() {
  if (state_ == MainWindowState::kEnded) return;
  if (s_.mscomm1.IsOpen()) s_.mscomm1.Close();
  if (dialogs_.Question(kExitQuestion, true)) {
    Unload();
  } else {
    HideToTray();
  }
}

void MainWindow::CloseBox() {
  if (state_ != MainWindowState::kEnded) Unload();
}

void MainWindow::cmdSalva_Click() {
  SalvaConfigurazione(s_.ini, s_.form);
  CaricaSettaggi(s_.ini, s_.cfg, s_.form, s_.mscomm1, s_.com_preconto);
}

void MainWindow::RF_FILE_2_Change() { valico::RF_FILE_2_Change(s_.ini, s_.form); }

bool MainWindow::OpenTool(ToolWindow tool) {
  if (ToolOpen(tool)) return false;
  open_tools_ |= Bit(tool);
  return true;
}

void MainWindow::ToolClosed(ToolWindow tool) { open_tools_ &= ~Bit(tool); }

void MainWindow::HideToTray() {
  toolkit_.SetVisible(false);
  state_ = MainWindowState::kHidden;
  // Without an icon the window can no longer be reached from the tray, but the devices are
  // still served: the program runs on and says why the icon is missing.
  if (toolkit_.AddTrayIcon()) {
    icon_missing_ = false;
  } else if (!icon_missing_) {
    icon_missing_ = true;
    log_.Warn("the tray icon could not be added; Valico runs on without it");
  }
}

void MainWindow::Unload() {
  toolkit_.SetVisible(false);
  toolkit_.RemoveTrayIcon();
  state_ = MainWindowState::kEnded;
}

}  // namespace valico
