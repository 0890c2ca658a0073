#include "shell/startup.h"

#include "display/customer_display.h"
#include "fiscal/mf_startup.h"
#include "jobs/ftp_transfer.h"
#include "prebill/prebill_startup.h"
#include "settings/load_settings.h"
#include "core/context.h"
#include "spool/spool_folders.h"

namespace valico {
namespace {

// One named routine of the start-up: a device list to fill or an import from Borea.
struct StartupStep {
  const char* name;
  void (*run)(Context&);  // null while the device's routine is not part of this build
};

// The list-filling and import routines, in the order they must run: each list is filled
// before the load sets its text, and each import writes _Valico.ini before it is loaded.
constexpr StartupStep kDeviceSteps[] = {
    {"DLY_StartUP_Valori", DLY_StartUP_Valori},
    {"DLY_StartUP_Borea", DLY_StartUP_Borea},
    {"MF_StartUP_Valori", MF_StartUP_Valori},
    {"MF_StartUP_Borea", MF_StartUP_Borea},
    {"FTP_StartUP_Borea", FTP_StartUP_Borea},
    {"WEB_StartUP_Borea", WEB_StartUP_Borea},
    {"RF_StartUP_Valori", nullptr},  // the receipt printers' list comes with receipt printing
    {"Cort_StartUP_Valori", Cort_StartUP_Valori},
    {"Cort_StartUP_Borea", Cort_StartUP_Borea},
};

}  // namespace

void StartUp(Context& ctx) {
  ctx.cfg.IniValico = ctx.InProgramFolder("_Valico.ini");
  ctx.ini.SetValicoIni(ctx.cfg.IniValico);
  PreparaCartelle(ctx);
  LoadSettings(ctx);
  ctx.svc.log.Info("Valico - Versione 2.2.0 started in " + ctx.program_folder());
}

void LoadSettings(Context& ctx) {
  ctx.cfg.IniValico = ctx.InProgramFolder("_Valico.ini");
  ctx.ini.SetValicoIni(ctx.cfg.IniValico);
  ctx.cfg.SettaggiBorea = ReadSettaggiBorea(ctx);
  ImpostaCartellaBorea(ctx);
  for (const StartupStep& step : kDeviceSteps) {
    if (step.run) {
      step.run(ctx);
    } else {
      ctx.svc.log.Debug(std::string("start-up: ") + step.name + " is not part of this build");
    }
  }
  ctx.form.AddItem("Postazione", "CLIENT");
  ctx.form.AddItem("Postazione", "SERVER");
  CaricaSettaggi(ctx);
}

void ShutDown(Context& ctx) {
  if (ctx.mscomm1.IsOpen()) ctx.mscomm1.Close();
  ctx.svc.log.Info("Valico stopped");
}

}  // namespace valico
