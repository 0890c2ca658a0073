#include "gui_qt/gui_program.h"

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <memory>

#include "gui_qt/qt_dialogs.h"
#include "gui_qt/tray_program.h"
#include "platform/program_folder_lock.h"

namespace valico {

namespace {

std::unique_ptr<Dialogs> MakeQtDialogs(DiagLog&) { return std::make_unique<QtDialogs>(); }

}  // namespace

int RunQtGui(const MachineOptions& machine) {
  // The session's stop requests arrive through a descriptor the event loop watches, so they
  // end the program between ticks, with its exit sequence. Blocked before any thread starts,
  // so every thread inherits the mask.
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGINT);
  sigaddset(&stop, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stop, nullptr);
  int stop_fd = ::signalfd(-1, &stop, SFD_CLOEXEC);

  // The command line is valico's; Qt takes its own settings from the environment.
  int qt_argc = 1;
  char name[] = "valico-gui";
  char* qt_argv[] = {name, nullptr};
  QApplication qt(qt_argc, qt_argv);
  QApplication::setQuitOnLastWindowClosed(false);
  MachineOptions options = CompleteFromEnvironment(machine);
  // A folder this user may not use (the packaged service's, for a user outside its group) is
  // not served from this session: the autostart ends here, as it does beside the service.
  if (::access(options.home.c_str(), R_OK | W_OK | X_OK) != 0 && errno != ENOENT) {
    std::cerr << "Errore: " << options.home << ": " << std::strerror(errno) << "\n";
    ::close(stop_fd);
    return 1;
  }
  // One copy per program folder: the service, or another desktop session, may serve it.
  ProgramFolderLock lock(options.home);
  App valico(options, MakeQtDialogs);
  if (!lock.held()) {
    // Said in the folder's log too: a session's autostart has no terminal.
    valico.ctx().svc.log.Warn("Valico is already running on " + options.home + ": this one ends");
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
