#include "jobs/dialup.h"

#include "jobs/process_wait.h"

namespace valico {

bool Connessione(const TransferServices& svc, int azione, std::stop_token stop) {
  const std::string ini = svc.ini.valico_ini();
  std::string entry = svc.ini.LeggiINI("Varie", "Int_Indirizzo", "", ini);
  std::string user = svc.ini.LeggiINI("Varie", "Ind_User", "", ini);
  std::string password = svc.ini.LeggiINI("Varie", "Ind_Pw", "", ini);
  if (entry.empty() || user.empty() || password.empty()) {
    svc.log.Warn("dial-up: Int_Indirizzo, Ind_User and Ind_Pw must all be set; not dialled");
    return false;
  }

  const std::string batch = JoinPath(svc.program_folder, "Dial.bat");
  const Files& files = svc.files;
  std::string err;
  if (files.IsFile(batch) && !files.Remove(batch, &err)) svc.log.Warn("dial-up: " + err);

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
    svc.log.Warn("dial-up: could not write the batch file: " + err);
  }
  svc.log.Info(azione == 1 ? "dial-up: connecting " + entry + " as " + user
                           : std::string("dial-up: disconnecting"));
  LanciaEAttendi(svc.processes, svc.log, batch, state, stop);
  return true;
}

}  // namespace valico
