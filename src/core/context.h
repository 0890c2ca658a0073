#pragma once

#include <map>
#include <string>
#include <string_view>

#include "config_ui/form_model.h"
#include "core/services.h"
#include "platform/serial_control.h"
#include "printing/print_queue.h"
#include "printing/printers.h"
#include "settings/config.h"
#include "settings/ini_store.h"

namespace valico {

// What the command line said about the machine beyond the services it built: the devices of
// the serial ports (--com, VALICO_COMn) and the program that runs ".exe" drivers (--wine),
// for the installer's check, which names what it looks at.
struct MachineFacts {
  std::map<int, std::string> com_devices;
  std::string wine = "wine";
};

// Everything the system's routines share: the services, the settings store, the configuration
// model, the window's controls and the serial-port controls. One per running Valico; tests
// create as many as they like. A routine takes the members it uses; only the start-up, the
// exit and the commands take the whole context.
//
// The main thread is the one that runs the start-up and the ticks (the service loop, or the
// window's timer). Each member says who may touch it.
class Context {
 public:
  // `printing`: how ended documents go out (see PrintQueueOptions::Mode).
  Context(Services services, std::string program_folder,
          PrintQueueOptions::Mode printing = PrintQueueOptions::Mode::kService)
      : svc(std::move(services)),
        ini(svc.files, svc.regional, svc.log),
        mscomm1(svc.serial_ports, svc.log, "display port"),
        com_preconto(svc.serial_ports, svc.log, "pre-bill port"),
        print_queue(svc.printing, svc.log, {svc.files.Native(program_folder), printing}),
        printers(svc.printing, print_queue, svc.log) {
    cfg.DirProgramma = std::move(program_folder);
  }
  Context(const Context&) = delete;
  Context& operator=(const Context&) = delete;

  // The program's own folder as the system builds paths from it: the configuration model's
  // DirProgramma, which the routines given only the configuration read. Set here and never
  // written again: any thread.
  const std::string& program_folder() const { return cfg.DirProgramma; }
  std::string InProgramFolder(std::string_view name) const {
    return JoinPath(cfg.DirProgramma, name);
  }

  Services svc;                // see Services for each service's threads
  IniStore ini;                // any thread: its calls are serialised by its own lock
  Config cfg;                  // main thread: written by the start-up and the load only (not
                               // DirProgramma, see program_folder())
  FormModel form;              // main thread
  SerialControl mscomm1;       // main thread: the customer display's port
  SerialControl com_preconto;  // main thread: the serial pre-bill printer's port
  // Main thread (its workers are its own): the print queue in CodaStampa of the program
  // folder; documents that could not be printed are kept in NonStampati.
  PrintQueue print_queue;
  // Main thread: the installed printers, the program-wide current printer and the open
  // documents, which go to the print queue when they end.
  Printers printers;
  MachineFacts machine;  // set by whoever builds the context, then read only: any thread
};

}  // namespace valico
