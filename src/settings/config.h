#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/typed_value.h"

namespace valico {

class IniStore;

// The fiscal register's hand-off protocols, as MF_Prot names them (compared exactly).
inline constexpr char kProtCasio[] = "CASIO/DITRON - 24";
inline constexpr char kProtGlobe[] = "GLOBE DRIVER - 106";
inline constexpr char kProtFPMate[] = "FPMate - 29";
enum class MfProtocol { kOther, kCasio, kGlobe, kFPMate };  // kOther hands nothing on

// The pre-bill printer models, as Cort_Printer names them (compared exactly, with case).
inline constexpr char kCortOlivetti[] = "OLIVETTI PRT100 NonFiscale";
inline constexpr char kCortSamsung[] = "SAMSUNG";
inline constexpr char kCortDpt282[] = "DPT-282";
inline constexpr char kCortSolipos[] = "SOLIPOS CALDERA";
inline constexpr char kCortTypeSuSeriale[] = "TYPE SU SERIALE";
inline constexpr char kCortNonPresente[] = "NON PRESENTE";
// kOther ("NON PRESENTE", "", "samsung", ...) prints nothing.
enum class CortModel { kOther, kOlivetti, kSamsung, kDpt282, kSolipos, kTypeSuSeriale };

// The receipt-form printer models, as RF_Stampante names them (the printer's device name,
// compared exactly, with case). kOther prints nothing and leaves the job file in place.
inline constexpr char kRfTmL90[] = "EPSON TM-L90 Receipt";
inline constexpr char kRfKube[] = "Custom KUBE Ric. Fisc. [A]";
inline constexpr char kRfTmU295[] = "EPSON TM-U295 Slip";
enum class RfModel { kOther, kTmL90, kKube, kTmU295 };

MfProtocol ParseMfProtocol(std::string_view text);
CortModel ParseCortModel(std::string_view text);
RfModel ParseRfModel(std::string_view text);

// The configuration model: the settings the devices read while the system runs, filled from
// _Valico.ini at start-up and after each save. Fields bear the names of their keys; the
// lower-case fields are what the load parsed them into.
struct Config {
  std::string IniValico;     // program folder + "\_Valico.ini"
  std::string IniLocal;      // DirBorea + "\_Local.ini"
  std::string DirBorea;      // Borea's working folder, no trailing backslash
  std::string DirProgramma;  // the program's own folder, set by the Context only
  std::string RunTimeBorea;  // Borea's database runtime, from RT_Access of _Local.ini
  bool SettaggiBorea = true;

  bool Display_Active = false;
  std::string Display_File, Display_Type, Display_COM, Display_Parametri;

  bool MF_Active = false;
  std::string MF_File, MF_File_Output, MF_Type, MF_Prot, MF_COM, MF_Parametri, MF_Driver;
  MfProtocol mf_protocol = MfProtocol::kOther;  // MF_Prot
  bool MF_Buffer = false;
  bool MF_ChkLog = false;
  std::int16_t MF_Ritardo = 0;

  bool RF_Active = false;
  std::string RF_Stampante, RF_File;
  TypedValue RF_Seriale;
  std::int16_t RF_Righe = 0;
  RfModel rf_model = RfModel::kOther;  // RF_Stampante

  bool Cort_Active = false;
  bool Cort_Logo = false;
  std::string Cort_Printer, Cort_Sett, Cort_File;
  CortModel cort_model = CortModel::kOther;  // Cort_Printer
  TypedValue Cort_Com;

  bool OP_Attive = false;  // run the scheduled operations every minute
  std::string Postazione;  // workstation role: "CLIENT" or "SERVER"
};

// Parses the texts that choose a device's behaviour into their enums; the load calls it, and
// so does anyone who sets those texts by hand.
void ParseChoices(Config& cfg);

// Borea_Setting of _Valico.ini as a flag (default true; a text keeps cfg.SettaggiBorea), as
// the start-up and the imports read it.
bool ReadSettaggiBorea(const IniStore& ini, const Config& cfg);

}  // namespace valico
