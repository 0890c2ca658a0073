#include "gui_qt/gui_program.h"

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <memory>

#include "gui_qt/qt_dialogs.h"
#include "gui_qt/tray_program.h"

namespace valico {

int RunQtGui(const MachineOptions& machine, int argc, char** argv) {
  // The session's stop requests arrive through a descriptor the event loop watches, so they
  // end the program between ticks, with its exit sequence. Blocked before any thread starts,
  // so every thread inherits the mask.
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGINT);
  sigaddset(&stop, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stop, nullptr);
  int stop_fd = ::signalfd(-1, &stop, SFD_CLOEXEC);

  QApplication qt(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  QtDialogs dialogs;
  App valico(CompleteFromEnvironment(machine), &dialogs);
  if (!valico.ClaimFolder(false)) {
    std::string text = "another Valico serves " + valico.ctx().program_folder() +
                       " (the service, or a desktop session): this one ends";
    valico.ctx().svc.log.Warn(text);
    ::close(stop_fd);
    return 1;
  }

  TrayProgram program(valico.ctx(), &QSystemTrayIcon::isSystemTrayAvailable);
  QObject::connect(&program, &TrayProgram::finished, &qt, &QApplication::quit);
  std::unique_ptr<QSocketNotifier> stop_requests;
  if (stop_fd >= 0) {
    stop_requests = std::make_unique<QSocketNotifier>(stop_fd, QSocketNotifier::Read);
    QObject::connect(stop_requests.get(), &QSocketNotifier::activated, &qt, [&] {
      signalfd_siginfo info;
      if (::read(stop_fd, &info, sizeof info) == sizeof info) QApplication::quit();
    });
  }
  program.Start();
  int status = QApplication::exec();
  stop_requests.reset();
  if (stop_fd >= 0) ::close(stop_fd);
  return status;
}

}  // namespace valico
