#include "gui_qt/tray_program.h"

#include <QDialog>

#include "gui_qt/text_1252.h"
#include "gui_qt/tool_windows.h"
#include "gui_qt/valico_icon.h"
#include "prebill/serial_prebill.h"
#include "shell/startup.h"

namespace valico {
namespace {

// The mouse messages a Windows tray icon reports, which MainWindow::TrayCallback reads.
int MouseMessage(QSystemTrayIcon::ActivationReason reason) {
  switch (reason) {
    case QSystemTrayIcon::Trigger:
      return kTrayLeftButtonUp;
    case QSystemTrayIcon::DoubleClick:
      return 515;  // left button double click
    case QSystemTrayIcon::MiddleClick:
      return 520;  // middle button released
    default:
      return 517;  // right button released (the context menu)
  }
}

}  // namespace

TrayProgram::TrayProgram(Context& ctx, TrayCheck tray_available)
    : ctx_(ctx),
      tray_check_(std::move(tray_available)),
      tray_available_(tray_check_()),
      main_(MainWindow::Settings{ctx.ini, ctx.cfg, ctx.form, ctx.mscomm1, ctx.com_preconto},
            ctx.svc.dialogs, ctx.svc.log, *this) {
  tray_.setIcon(ValicoIcon());
  tray_.setToolTip(FromBytes(kWindowCaption));
  connect(&tray_, &QSystemTrayIcon::activated, this, &TrayProgram::OnTray);
  timer_.setInterval(500);
  connect(&timer_, &QTimer::timeout, this, &TrayProgram::Tick);
}

TrayProgram::~TrayProgram() {
  for (QDialog* tool : tools_) {
    if (!tool) continue;
    disconnect(tool, nullptr, this, nullptr);
    delete tool;
  }
  timer_.stop();
  wake_.reset();
  if (service_) service_->Stop();  // a transfer in progress gets its time-out to end
  ShutDown(ctx_);
  if (service_) service_->FlushStatus();
  service_.reset();
}

ConfigWindow& TrayProgram::window() {
  if (window_) return *window_;
  // Built from the model as the start-up and any save since left it.
  window_ = std::make_unique<ConfigWindow>(ctx_.form);
  window_->setWindowIcon(ValicoIcon());
  connect(window_.get(), &ConfigWindow::commandChosen, this, &TrayProgram::OnCommand);
  connect(window_.get(), &ConfigWindow::rfFile2Changed, this, [this] { main_.RF_FILE_2_Change(); });
  connect(window_.get(), &ConfigWindow::closeBoxClicked, this, [this] {
    main_.CloseBox();
    EndIfFinished();
  });
  return *window_;
}

void TrayProgram::Start() {
  StartUp(ctx_);
  if (!tray_available_)
    ctx_.svc.log.Warn(
        "the desktop shows no tray icons (no system tray or status-notifier host): the window "
        "stays in the task bar, minimised, instead of hiding");
  main_.LoadEnded();
  service_ = std::make_unique<ServiceTicks>(ctx_);
  WakeSource wake = service_->Wake();
  if (wake.handle >= 0) {
    wake_ =
        std::make_unique<QSocketNotifier>(static_cast<qintptr>(wake.handle), QSocketNotifier::Read);
    connect(wake_.get(), &QSocketNotifier::activated, this,
            [this, woken = wake.woken] { OnWake(woken); });
  }
  timer_.start();
}

void TrayProgram::Tick() {
  if (!main_.Ticking() || in_tick_ || !service_) return;
  LookForTray();
  // A message box raised inside the tick runs its own event loop: the timer goes on firing,
  // but those ticks do nothing until the box is closed (the scheduler and FTP steps no more
  // than the polling cycle).
  in_tick_ = true;
  bool more = service_->Tick();
  in_tick_ = false;
  if (wake_held_) {
    wake_held_ = false;
    wake_->setEnabled(true);
  }
  if (more) QTimer::singleShot(0, this, &TrayProgram::Tick);
}

// The folder's notices wait unread while a tick's message box is up, so the wake-up would
// fire without end: it is switched off then, and on again when that tick ends. A tick without
// a box leaves it alone, as switching a notifier costs the event loop a wake-up each time.
void TrayProgram::OnWake(const std::function<bool()>& woken) {
  if (in_tick_) {
    wake_held_ = true;
    wake_->setEnabled(false);
    return;
  }
  if (woken()) Tick();
}

void TrayProgram::SetVisible(bool visible) {
  if (visible) {
    window().showNormal();
    window_->raise();
    window_->activateWindow();
  } else if (!tray_available_) {
    window().showMinimized();
  } else if (window_) {
    window_->hide();
  }
}

bool TrayProgram::AddTrayIcon() {
  if (!tray_available_) return false;
  tray_.show();
  return true;
}

// The icon goes only when the window is unloaded; the window goes with it, also where it was
// kept minimised for want of a tray.
void TrayProgram::RemoveTrayIcon() {
  tray_.hide();
  if (window_) window_->hide();
}

void TrayProgram::OnTray(QSystemTrayIcon::ActivationReason reason) {
  main_.TrayCallback(MouseMessage(reason));
}

void TrayProgram::OnCommand(WindowCommand command) {
  switch (command) {
    case WindowCommand::kSalva:
      main_.cmdSalva_Click();
      window_->Refresh();
      break;
    case WindowCommand::kNascondi:
      main_.cmdNascondi_Click();
      break;
    case WindowCommand::kCommand1: {
      SerialPrebill prebill(ctx_.cfg, ctx_.svc.regional, ctx_.com_preconto, ctx_.svc.files,
                            ctx_.svc.log, ctx_.svc.dialogs);
      prebill.Command1_Click();
      break;
    }
    case WindowCommand::kEsci:
      main_.Esci_Click();
      EndIfFinished();
      break;
    case WindowCommand::kStrU295:
      OpenTool(ToolWindow::kSlipTest);
      break;
    case WindowCommand::kStampaPorte:
      OpenTool(ToolWindow::kPrinterList);
      break;
    case WindowCommand::kStatoStampe:
      OpenTool(ToolWindow::kPrintStatus);
      break;
    case WindowCommand::kVerificaInstallazione:
      OpenTool(ToolWindow::kDoctor);
      break;
    case WindowCommand::kAbout:
      OpenTool(ToolWindow::kAbout);
      break;
  }
}

void TrayProgram::OpenTool(ToolWindow which) {
  QPointer<QDialog>& slot = tools_[static_cast<int>(which)];
  if (main_.OpenTool(which)) {
    switch (which) {
      case ToolWindow::kAbout:
        slot = MakeAboutBox();
        break;
      case ToolWindow::kSlipTest:
        slot = MakeSlipTestWindow(ctx_);
        break;
      case ToolWindow::kPrinterList:
        slot = MakePrinterListWindow(ctx_);
        break;
      case ToolWindow::kPrintStatus:
        slot = MakePrintStatusWindow(ctx_, service_.get());
        break;
      case ToolWindow::kDoctor:
        slot = MakeDoctorWindow(ctx_);
        break;
    }
    connect(slot.data(), &QObject::destroyed, this, [this, which] {
      main_.ToolClosed(which);
      EndIfFinished();
    });
  }
  slot->show();
  slot->raise();
  slot->activateWindow();
}

void TrayProgram::LookForTray() {
  constexpr int kTicksBetweenLooks = 4;  // 2 s
  if (tray_available_ || ++ticks_without_tray_ < kTicksBetweenLooks) return;
  ticks_without_tray_ = 0;
  if (!tray_check_()) return;
  tray_available_ = true;
  ctx_.svc.log.Info("a tray appeared on the desktop: the icon is added");
  // A window the user has not opened goes to the tray as at the start; an open one keeps
  // standing, with the icon beside it.
  if (main_.state() == MainWindowState::kHidden) {
    main_.cmdNascondi_Click();
  } else {
    AddTrayIcon();
  }
}

void TrayProgram::EndIfFinished() {
  if (main_.Finished()) {
    timer_.stop();
    emit finished();
  }
}

}  // namespace valico
