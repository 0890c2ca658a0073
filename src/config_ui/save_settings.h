#pragma once

#include "config_ui/form_model.h"
#include "settings/ini_store.h"

namespace valico {

// The save of the configuration window (cmdSalva_Click, without the reload that follows it):
// writes the window's device settings into _Valico.ini in their fixed order, texts exactly as
// shown, check boxes as "0"/"1", and a device's in-use flag as "-1" only when its check box is
// ticked and the window names a device for it. A write that fails leaves its key as it was;
// the others are still made.
void SalvaConfigurazione(IniStore& ini, const FormModel& form);

// The store of the second receipt printer, made at every change of RF_FILE_2's text: its
// file, printer and port as the window shows them.
void RF_FILE_2_Change(IniStore& ini, const FormModel& form);

}  // namespace valico
