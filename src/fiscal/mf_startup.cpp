#include "fiscal/mf_startup.h"

namespace valico {
namespace {

using TV = TypedValue;
namespace c = controls;

constexpr const char* kTypes[] = {"24 - DITRON ZIP", "106 - RCH GLOBE", "0 - NON PRESENTE"};
constexpr const char* kProtocols[] = {kProtCasio, kProtGlobe, "Nessuno"};

}  // namespace

void MF_StartUP_Valori(FormModel& form, const Config& cfg) {
  for (const char* item : kTypes) form.AddItem(c::MF_Type, item);
  for (const char* item : kProtocols) form.AddItem(c::MF_Protocol, item);
  form.SetText(c::MF_File, JoinPath(cfg.DirBorea, "Casio\\CAS.txt"));
  form.SetChecked(c::MF_chkLog, false);
}

void MF_StartUP_Borea(IniStore& ini, const Config& cfg) {
  if (!cfg.SettaggiBorea) return;
  const std::string& local = cfg.IniLocal;
  auto read = [&](const char* key, const TV& fallback) {
    return ini.LeggiVarieDef(key, fallback, local);
  };
  // The model is compared as text: "106,0" is not "106", whatever the regional settings.
  const std::string mis_pre = ini.LeggiINI("Varie", "MisPre", "0", local);
  const bool casio = mis_pre == "24";
  const bool globe = mis_pre == "106";

  if (!casio && !globe) {
    ini.ScriviVarie("MF_Active", TV::FromFlag(false));
    ini.ScriviVarie("MF_Type", TV::FromText(kTypes[2]));
    ini.ScriviVarie("MF_Prot", TV::FromText("Non Presente"));
    for (const char* key : {"MF_COM", "MF_Parametri", "MF_Ritardo", "MF_File", "MF_Driver"})
      ini.ScriviVarie(key, TV::FromText(""));
    return;
  }
  ini.ScriviVarie("MF_Active", TV::FromFlag(true));
  ini.ScriviVarie("MF_Type", TV::FromText(casio ? kTypes[0] : kTypes[1]));
  ini.ScriviVarie("MF_Prot", TV::FromText(casio ? kProtCasio : kProtGlobe));
  ini.ScriviVarie("MF_COM", read("CommPre", TV::FromText(cfg.MF_COM)));
  ini.ScriviVarie("MF_Parametri", read("CF_SETTAGGIO", TV::FromText(cfg.MF_Parametri)));
  ini.ScriviVarie("MF_Ritardo", read("Delay", TV::FromText("")));
  if (casio) {
    ini.ScriviVarie("MF_File", TV::FromText(JoinPath(cfg.DirBorea, "Casio\\CAS.txt")));
    ini.ScriviVarie("MF_Driver", TV::FromText(""));
  } else {
    ini.ScriviVarie("MF_Driver", read("MF_FILE_DRIVER",
                                      TV::FromText("C:\\Programmi\\GlobeDriver\\GlobeDriver.exe")));
  }
}

}  // namespace valico
