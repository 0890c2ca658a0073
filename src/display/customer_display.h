#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config_ui/form_model.h"
#include "platform/clock.h"
#include "platform/diag_log.h"
#include "platform/files.h"
#include "platform/folder_watch.h"
#include "platform/serial_control.h"
#include "settings/config.h"
#include "settings/ini_store.h"

namespace valico {

// The customer pole display: sends the display file to the display's port (MSComm1) with the
// escape sequences of the model Display_Type names, then deletes the file.
// A file Borea is still writing is left until the folder watch says it is whole.
class CustomerDisplay {
 public:
  CustomerDisplay(const Config& cfg, const Files& files, Clock& clock, FolderWatch& watch,
                  DiagLog& log, SerialControl& port)
      : cfg_(cfg), files_(files), clock_(clock), watch_(watch), log_(log), port_(port) {}

  // One look at the display file, from the polling cycle. An unknown model leaves the file
  // alone; a file that cannot be read is left for a later tick.
  void LanciaFileDLY();

 private:
  void Warn(const std::string& message);

  const Config& cfg_;
  const Files& files_;
  Clock& clock_;
  FolderWatch& watch_;
  DiagLog& log_;
  SerialControl& port_;
  std::string last_warning_;
};

// Fills the display model and port choices of the configuration window.
void DLY_StartUP_Valori(FormModel& form);
// Takes the display settings from Borea's _Local.ini into _Valico.ini (only while
// Borea_Setting is true).
void DLY_StartUP_Borea(IniStore& ini, const Config& cfg);

}  // namespace valico
