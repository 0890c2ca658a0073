#include "fiscal/mf_startup.h"

#include "fiscal/invia_file_mf.h"
#include "core/context.h"

namespace valico {
namespace {

using TV = TypedValue;

constexpr const char* kTypes[] = {"24 - DITRON ZIP", "106 - RCH GLOBE", "0 - NON PRESENTE"};
constexpr const char* kProtocols[] = {kProtCasio, kProtGlobe, "Nessuno"};

}  // namespace

void MF_StartUP_Valori(Context& ctx) {
  for (const char* item : kTypes) ctx.form.AddItem("MF_Type", item);
  for (const char* item : kProtocols) ctx.form.AddItem("MF_Protocol", item);
  ctx.form.SetText("MF_File", JoinPath(ctx.cfg.DirBorea, "Casio\\CAS.txt"));
  ctx.form.SetChecked("MF_chkLog", false);
}

void MF_StartUP_Borea(Context& ctx) {
  const Config& cfg = ctx.cfg;
  if (!cfg.SettaggiBorea) return;
  IniStore& ini = ctx.ini;
  const std::string& local = cfg.IniLocal;
  auto read = [&](const char* key, const TV& fallback) {
    return ini.LeggiVarieDef(key, fallback, local);
  };
  const std::string mis_pre = read("MisPre", TV::FromText("0")).ToText(ctx.svc.regional);
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
  ini.ScriviVarie("MF_COM", read("CommPre", TV::FromText(ctx.form.Text("MF_Com"))));
  ini.ScriviVarie("MF_Parametri", read("CF_SETTAGGIO", TV::FromText(ctx.form.Text("MF_Param"))));
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
