#include "spool/polling_cycle.h"

#include <exception>

#include "core/context.h"
#include "spool/device_handlers.h"

namespace valico {

template <typename F>
void PollingCycle::Contained(const char* what, F&& step) {
  try {
    step();
  } catch (const std::exception& e) {
    ctx_.svc.log.Error(std::string("tick: ") + what + " failed: " + e.what());
  } catch (...) {
    ctx_.svc.log.Error(std::string("tick: ") + what + " failed");
  }
}

void PollingCycle::Timer1_Timer() {
  if (in_tick_) return;
  in_tick_ = true;
  Contained("display", [&] { DisplayStep(); });
  Contained("fiscal register", [&] { FiscalStep(); });
  Contained("receipt forms", [&] { ReceiptStep(); });
  Contained("pre-bills", [&] { PrebillStep(); });
  in_tick_ = false;
}

// A spool flag is read from the file at every tick; a text that is neither a flag nor a
// number holds the spool off.
bool PollingCycle::SpoolOpen(const char* flag) const {
  return ctx_.ini.LeggiVarieDef(flag, TypedValue::FromFlag(true)).IsTrue();
}

void PollingCycle::DisplayStep() {
  const Config& cfg = ctx_.cfg;
  if (cfg.Display_Active && !cfg.Display_File.empty() &&
      ctx_.svc.files.IsFile(cfg.Display_File))
    devices_.LanciaFileDLY();
}

void PollingCycle::FiscalStep() {
  const Config& cfg = ctx_.cfg;
  if (!cfg.MF_Active || cfg.MF_File.empty() || !SpoolOpen("MF_Vuoto")) return;
  std::string err;
  if (!cfg.MF_File_Output.empty() && ctx_.svc.files.IsFile(cfg.MF_File_Output) &&
      !ctx_.svc.files.Remove(cfg.MF_File_Output, &err))
    ctx_.svc.log.Warn(err);
  fiscal_.PrelevaSpool(ctx_.InProgramFolder("Borea"), cfg.IniValico, ctx_.InProgramFolder("IN"),
                       "MF");
  ctx_.ini.ScriviVarie("MF_Vuoto", TypedValue::FromFlag(true));
}

void PollingCycle::ReceiptStep() {
  const Config& cfg = ctx_.cfg;
  if (!cfg.RF_Active || cfg.RF_File.empty() || !ctx_.svc.files.IsFile(cfg.RF_File) ||
      cfg.RF_Stampante.empty())
    return;
  // The port must be a number above 0; a port named in full ("Ne01") does not pass here.
  const TypedValue& port = cfg.RF_Seriale;
  bool above_zero = port.is_number() ? port.ten_thousandths() > 0
                                     : port.is_flag() ? port.flag() > 0 : false;
  if (above_zero) devices_.LanciaFileRF();
}

void PollingCycle::PrebillStep() {
  const Config& cfg = ctx_.cfg;
  if (!cfg.Cort_Active || !SpoolOpen("Cort_Vuoto")) return;
  prebill_.PrelevaSpool(ctx_.InProgramFolder("CortBorea"), cfg.IniValico,
                        ctx_.InProgramFolder("CortIN"), "CR");
  ctx_.ini.ScriviVarie("Cort_Vuoto", TypedValue::FromFlag(true));
}

}  // namespace valico
