#pragma once

#include "config_ui/form_model.h"
#include "platform/serial_control.h"
#include "settings/config.h"
#include "settings/ini_store.h"

namespace valico {

// Settles Borea's folder: Borea_Directory without one trailing "\" ("C:\Caldera" when
// empty), written back and shown in BoreaDir; IniLocal; and the runtime path from RT_Access,
// stored as RunTimeBorea.
void ImpostaCartellaBorea(IniStore& ini, Config& cfg, FormModel& form);

// Loads _Valico.ini into the configuration model and the window's controls; missing or blank
// keys take their defaults, and the texts that choose a device's behaviour are parsed. Gives
// the display port, and the pre-bill port of a "DPT-282", their port number and settings
// without opening them. Writes nothing; reads each file once.
void CaricaSettaggi(const IniStore& ini, Config& cfg, FormModel& form, SerialControl& mscomm1,
                    SerialControl& com_preconto);

}  // namespace valico
