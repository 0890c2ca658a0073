#pragma once

#include "config_ui/form_model.h"
#include "settings/config.h"
#include "settings/ini_store.h"

namespace valico {

// Fills the register lists of the main window (MF_Type, MF_Protocol), proposes
// DirBorea\Casio\CAS.txt as MF_File and unticks MF_chkLog; the load then sets the saved values.
void MF_StartUP_Valori(FormModel& form, const Config& cfg);

// While Borea's settings are taken (SettaggiBorea), translates Borea's register model MisPre
// ("24" CASIO/DITRON, "106" RCH Globe, anything else none) and its register keys from
// _Local.ini into the MF_ keys of _Valico.ini. Borea's port and settings fall back on the
// model's MF_COM and MF_Parametri.
void MF_StartUP_Borea(IniStore& ini, const Config& cfg);

}  // namespace valico
