#pragma once

#include <string>

#include "config_ui/form_model.h"
#include "platform/clock.h"
#include "platform/diag_log.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/ftp_client.h"
#include "platform/processes.h"
#include "platform/regional.h"
#include "platform/serial_control.h"
#include "settings/config.h"
#include "settings/ini_store.h"

namespace valico {

// The platform services a running Valico uses; each is owned by whoever builds the context
// (main, or a test with fakes).
struct Services {
  const Files& files;
  Clock& clock;
  DiagLog& log;
  Dialogs& dialogs;
  Processes& processes;
  SerialPorts& serial_ports;
  FtpClient& ftp;
  Regional regional;
};

// Everything the system's routines share: the services, the settings store, the configuration
// model, the window's controls and the serial-port controls. One per running Valico; tests
// create as many as they like.
class Context {
 public:
  Context(Services services, std::string program_folder)
      : svc(std::move(services)),
        ini(svc.files, svc.regional, svc.log),
        mscomm1(svc.serial_ports, svc.log, "display port"),
        com_preconto(svc.serial_ports, svc.log, "pre-bill port"),
        program_folder_(std::move(program_folder)) {}
  Context(const Context&) = delete;
  Context& operator=(const Context&) = delete;

  // The program's own folder as the system builds paths from it.
  const std::string& program_folder() const { return program_folder_; }
  std::string InProgramFolder(std::string_view name) const {
    return JoinPath(program_folder_, name);
  }

  Services svc;
  IniStore ini;
  Config cfg;
  FormModel form;
  SerialControl mscomm1;       // the customer display's port
  SerialControl com_preconto;  // the serial pre-bill printer's port

 private:
  std::string program_folder_;
};

}  // namespace valico
