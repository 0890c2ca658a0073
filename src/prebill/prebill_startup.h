#pragma once

namespace valico {

class Context;

// Appends the pre-bill printer models to the window's list "Cort_Printer".
void Cort_StartUP_Valori(Context& ctx);

// Takes the pre-bill printer settings from Borea's _Local.ini (BANCO_DS_STAMPANTE and its
// port and settings keys) into _Valico.ini. Writes nothing when BANCO_DS_STAMPANTE is blank;
// a code that is not a whole number ends the import with the message
// "Stampante Cortesia Borea - Errore", CR LF and the reason.
void Cort_StartUP_Borea(Context& ctx);

}  // namespace valico
