#pragma once

#include <cstdint>
#include <string>

#include "settings/typed_value.h"

namespace valico {

// The configuration model: the settings the devices read while the system runs, filled from
// _Valico.ini at start-up and after each save. Fields bear the names of their keys.
struct Config {
  std::string IniValico;     // program folder + "\_Valico.ini"
  std::string IniLocal;      // DirBorea + "\_Local.ini"
  std::string DirBorea;      // Borea's working folder, no trailing backslash
  std::string DirProgramma;  // the program's own folder
  std::string RunTimeBorea;  // Borea's database runtime, from RT_Access of _Local.ini
  bool SettaggiBorea = true;

  bool Display_Active = false;
  std::string Display_File, Display_Type, Display_COM, Display_Parametri;

  bool MF_Active = false;
  std::string MF_File, MF_File_Output, MF_Type, MF_Prot, MF_COM, MF_Parametri, MF_Driver;
  bool MF_Buffer = false;
  bool MF_ChkLog = false;
  std::int16_t MF_Ritardo = 0;

  bool RF_Active = false;
  std::string RF_Stampante, RF_File;
  TypedValue RF_Seriale;
  std::int16_t RF_Righe = 0;

  bool Cort_Active = false;
  bool Cort_Logo = false;
  std::string Cort_Printer, Cort_Sett, Cort_File;
  TypedValue Cort_Com;

  bool OP_Attive = false;  // run the scheduled operations every minute
  std::string Postazione;  // workstation role: "CLIENT" or "SERVER"
};

}  // namespace valico
