#pragma once

#include "platform/clock.h"
#include "platform/diag_log.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/folder_watch.h"
#include "platform/ftp_client.h"
#include "platform/processes.h"
#include "platform/regional.h"
#include "platform/serial_port.h"
#include "printing/print_system.h"

namespace valico {

// The platform services a running Valico uses; each is owned by whoever builds the context
// (main, or a test with fakes). Files, the log and the process starter may be used from any
// thread; dialogs, serial ports, the printing system, the folder watch and the clock's waits
// belong to the main thread.
struct Services {
  const Files& files;
  Clock& clock;
  FolderWatch& watch;
  DiagLog& log;
  Dialogs& dialogs;
  Processes& processes;
  SerialPorts& serial_ports;
  FtpClient& ftp;
  PrintSystem& printing;
  Regional regional;
};

}  // namespace valico
