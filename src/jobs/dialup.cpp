#include "jobs/dialup.h"

#include "jobs/process_wait.h"
#include "core/context.h"

namespace valico {

bool Connessione(Context& ctx, int azione, std::stop_token stop) {
  const std::string& ini = ctx.ini.valico_ini();
  std::string entry = ctx.ini.LeggiINI("Varie", "Int_Indirizzo", "", ini);
  std::string user = ctx.ini.LeggiINI("Varie", "Ind_User", "", ini);
  std::string password = ctx.ini.LeggiINI("Varie", "Ind_Pw", "", ini);
  if (entry.empty() || user.empty() || password.empty()) {
    ctx.svc.log.Warn("dial-up: Int_Indirizzo, Ind_User and Ind_Pw must all be set; not dialled");
    return false;
  }

  // The program folder is fixed for the life of the context, so a worker thread may use it.
  const std::string batch = ctx.InProgramFolder("Dial.bat");
  const Files& files = ctx.svc.files;
  std::string err;
  if (files.IsFile(batch) && !files.Remove(batch, &err)) ctx.svc.log.Warn("dial-up: " + err);

  std::string line;
  WindowState state;
  if (azione == 1) {
    line = "rasdial " + entry + " " + user + " " + password;
    state = WindowState::kMinimizedNoFocus;
  } else if (azione == 2) {
    line = "rasdial /disconnect";
    state = WindowState::kHidden;
  } else {
    return false;
  }
  if (!files.WriteAtomically(batch, line + "\r\n", &err)) {
    ctx.svc.log.Warn("dial-up: could not write the batch file: " + err);
  }
  ctx.svc.log.Info(azione == 1 ? "dial-up: connecting " + entry + " as " + user
                               : std::string("dial-up: disconnecting"));
  LanciaEAttendi(ctx, batch, state, stop);
  return true;
}

}  // namespace valico
