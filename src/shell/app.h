#pragma once

#include <map>
#include <memory>
#include <string>

#include "core/context.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/folder_watch.h"
#include "platform/path_mapper.h"
#include "printing/print_system.h"

namespace valico {

// What the command line says about the machine Valico runs on.
struct MachineOptions {
  std::string home;                      // program folder; the executable's folder when empty
  std::map<char, std::string> drives;    // --drive X=PATH, then VALICO_DRIVE_X
  std::map<int, std::string> com_ports;  // --com N=DEVICE, then VALICO_COMn
  std::string locale;                    // --locale; the user's regional settings when empty
  std::string wine = "wine";             // --wine
  int ftp_timeout_s = 30;                // --ftp-timeout: FTP connection and stall limit
  bool log_to_stderr = true;
  bool log_to_file = true;
};

// The message boxes of a Valico: the headless one logs them; a GUI shows them.
using MakeDialogs = std::unique_ptr<Dialogs> (*)(DiagLog& log);

// A Valico with real platform services, built from the command line's options: owns the
// services and the context that refers to them.
class App {
 public:
  // `printing`: how this program's documents go out (see PrintQueueOptions::Mode).
  explicit App(const MachineOptions& options, MakeDialogs make_dialogs = nullptr,
               PrintQueueOptions::Mode printing = PrintQueueOptions::Mode::kService);
  Context& ctx() { return *ctx_; }

 private:
  PathMapper mapper_;
  Files files_;
  SystemClock clock_;
  std::unique_ptr<DiagLog> log_;
  std::unique_ptr<FolderWatch> watch_;
  std::unique_ptr<Dialogs> dialogs_;
  std::unique_ptr<Processes> processes_;
  std::unique_ptr<SerialPorts> serial_ports_;
  std::unique_ptr<FtpClient> ftp_;
  std::unique_ptr<PrintSystem> print_system_;
  std::unique_ptr<Context> ctx_;  // last: its printers send their open documents when it goes
};

// The options completed from the environment: the program folder made absolute, drive roots
// and COM devices from VALICO_DRIVE_X / VALICO_COMn where the command line gave none.
MachineOptions CompleteFromEnvironment(MachineOptions options);

}  // namespace valico
