#pragma once

#include <array>
#include <string_view>

#include "config_ui/form_model.h"
#include "platform/dialogs.h"
#include "settings/config.h"
#include "settings/ini_store.h"

namespace valico {

// The pre-bill printer models in the order the window lists them.
inline constexpr std::array<std::string_view, 6> kCortPrinterModels = {
    kCortOlivetti, kCortSamsung, kCortDpt282, kCortNonPresente, kCortSolipos, kCortTypeSuSeriale,
};

// Appends the pre-bill printer models to the window's list "Cort_Printer".
void Cort_StartUP_Valori(FormModel& form);

// Takes the pre-bill printer settings from Borea's _Local.ini (BANCO_DS_STAMPANTE and its
// port and settings keys) into _Valico.ini. Writes nothing when BANCO_DS_STAMPANTE is blank;
// a code that is not a whole number ends the import with the message
// "Stampante Cortesia Borea - Errore", CR LF and the reason.
void Cort_StartUP_Borea(IniStore& ini, const Config& cfg, Dialogs& dialogs);

}  // namespace valico
