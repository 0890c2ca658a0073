#pragma once

namespace valico {

class Context;

// Fills the register lists of the main window (MF_Type, MF_Protocol), proposes
// DirBorea\Casio\CAS.txt as MF_File and unticks MF_chkLog; the load then sets the saved values.
void MF_StartUP_Valori(Context& ctx);

// While Borea's settings are taken (SettaggiBorea), translates Borea's register model MisPre
// ("24" CASIO/DITRON, "106" RCH Globe, anything else none) and its register keys from
// _Local.ini into the MF_ keys of _Valico.ini.
void MF_StartUP_Borea(Context& ctx);

}  // namespace valico
