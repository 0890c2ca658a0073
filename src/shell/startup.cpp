#include "shell/startup.h"

#include "config_ui/load_settings.h"
#include "display/customer_display.h"
#include "fiscal/mf_startup.h"
#include "jobs/ftp_transfer.h"
#include "prebill/prebill_startup.h"
#include "receipt/receipt_forms.h"
#include "spool/spool_folders.h"

namespace valico {
namespace {

// One named routine of the start-up: a device list to fill or an import from Borea.
struct StartupStep {
  const char* name;
  void (*run)(Context&);
};

// The list-filling and import routines, in the order they must run: each list is filled
// before the load sets its text, and each import writes _Valico.ini before it is loaded.
constexpr StartupStep kDeviceSteps[] = {
    {"DLY_StartUP_Valori", [](Context& c) { DLY_StartUP_Valori(c.form); }},
    {"DLY_StartUP_Borea", [](Context& c) { DLY_StartUP_Borea(c.ini, c.cfg); }},
    {"MF_StartUP_Valori", [](Context& c) { MF_StartUP_Valori(c.form, c.cfg); }},
    {"MF_StartUP_Borea", [](Context& c) { MF_StartUP_Borea(c.ini, c.cfg); }},
    {"FTP_StartUP_Borea", [](Context& c) { FTP_StartUP_Borea(c.ini, c.cfg); }},
    {"WEB_StartUP_Borea", [](Context& c) { WEB_StartUP_Borea(c.ini, c.cfg); }},
    {"RF_StartUP_Valori", [](Context& c) { RF_StartUP_Valori(c.printers, c.form, c.svc.dialogs); }},
    {"Cort_StartUP_Valori", [](Context& c) { Cort_StartUP_Valori(c.form); }},
    {"Cort_StartUP_Borea", [](Context& c) { Cort_StartUP_Borea(c.ini, c.cfg, c.svc.dialogs); }},
};

// The settings file's path, the first step of every start.
void SetPaths(Context& ctx) {
  ctx.cfg.IniValico = ctx.InProgramFolder("_Valico.ini");
  ctx.ini.SetValicoIni(ctx.cfg.IniValico);
}

void Load(Context& ctx) {
  ctx.cfg.SettaggiBorea = ReadSettaggiBorea(ctx.ini, ctx.cfg);
  ImpostaCartellaBorea(ctx.ini, ctx.cfg, ctx.form);
  for (const StartupStep& step : kDeviceSteps) step.run(ctx);
  ctx.form.AddItem(controls::Postazione, "CLIENT");
  ctx.form.AddItem(controls::Postazione, "SERVER");
  CaricaSettaggi(ctx.ini, ctx.cfg, ctx.form, ctx.mscomm1, ctx.com_preconto);
}

// The print queue takes over what an earlier run left, with the wait of _Valico.ini's
// Stampa_Attesa: the minutes a printer may stay unreachable before its documents are set aside.
void StartPrintQueue(Context& ctx) {
  constexpr std::int64_t kDefaultMinutes = 10, kLongestMinutes = 24 * 60;
  TypedValue v = ctx.ini.LeggiVarieDef("Stampa_Attesa", TypedValue::FromInt(kDefaultMinutes));
  std::optional<std::int16_t> minutes = v.ToInt16(ctx.svc.regional);
  if (!minutes || *minutes < 1 || *minutes > kLongestMinutes) {
    ctx.svc.log.Warn("Stampa_Attesa=" + v.ToText(ctx.svc.regional) +
                     " is not a number of minutes from 1 to 1440: 10 is used");
    minutes = kDefaultMinutes;
  }
  ctx.print_queue.SetWait(std::chrono::minutes(*minutes));
  ctx.print_queue.Start();
}

}  // namespace

void StartUp(Context& ctx) {
  SetPaths(ctx);
  // The many reads of the start-up come from one reading of each file.
  IniStore::OneReading once(ctx.ini);
  PreparaCartelle(ctx.ini, ctx.svc.files, ctx.svc.log, ctx.program_folder());
  StartPrintQueue(ctx);
  Load(ctx);
  ctx.svc.log.Info("Valico - Versione " VALICO_VERSION " started in " + ctx.program_folder());
}

void LoadSettings(Context& ctx) {
  SetPaths(ctx);
  IniStore::OneReading once(ctx.ini);
  Load(ctx);
}

void ReadSettings(Context& ctx) {
  SetPaths(ctx);
  IniStore::OneReading once(ctx.ini);
  CaricaSettaggi(ctx.ini, ctx.cfg, ctx.form, ctx.mscomm1, ctx.com_preconto);
}

void ShutDown(Context& ctx) {
  if (ctx.mscomm1.IsOpen()) ctx.mscomm1.Close();
  ctx.print_queue.Stop();  // what is still queued is printed at the next start
  ctx.svc.log.Info("Valico stopped");
}

}  // namespace valico
