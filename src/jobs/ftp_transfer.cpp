#include "jobs/ftp_transfer.h"

#include <functional>
#include <stop_token>

#include "jobs/dialup.h"
#include "platform/native_path.h"

namespace valico {
namespace {

// Reads `keys` from section Varie of Borea's _Local.ini.
std::vector<std::string> ReadLocal(const IniStore& ini, const Config& cfg,
                                   std::initializer_list<const char*> keys) {
  std::vector<std::string> values;
  for (const char* key : keys) values.push_back(ini.LeggiINI("Varie", key, "", cfg.IniLocal));
  return values;
}

std::string Describe(const std::string& what, const FtpAccount& a) {
  return what + " (server \"" + a.server + "\", user \"" + a.user + "\")";
}

// The transfer of one request, with the dial-up around it when asked for.
bool Transfer(const TransferServices& svc, int azione, bool dial, const std::function<bool()>& run,
              std::stop_token stop) {
  if (azione != 1 && azione != 2) return false;
  if (!dial) return run();
  bool outcome = false;
  if (Connessione(svc, 1, stop)) outcome = run();
  if (!Connessione(svc, 2, stop)) outcome = false;
  return outcome;
}

}  // namespace

void FTP_StartUP_Borea(IniStore& ini, Config& cfg) {
  cfg.SettaggiBorea = ReadSettaggiBorea(ini, cfg);
  if (!cfg.SettaggiBorea) return;
  auto v = ReadLocal(ini, cfg, {"Si_FTP_ptp", "Si_NomeUT_ptp", "Si_Psw_ptp"});
  const std::string& file = cfg.IniValico;
  ini.ScriviINI("Varie", "FTP_Indirizzo", v[0], file);
  ini.ScriviINI("Varie", "FTP_User", v[1], file);
  ini.ScriviINI("Varie", "FTP_Pw", v[2], file);
}

void WEB_StartUP_Borea(IniStore& ini, Config& cfg) {
  cfg.SettaggiBorea = ReadSettaggiBorea(ini, cfg);
  if (!cfg.SettaggiBorea) return;
  auto v = ReadLocal(ini, cfg, {"GG_CONNESSIONE", "GG_ACCOUNT", "GG_PSW"});
  bool all = !v[0].empty() && !v[1].empty() && !v[2].empty();
  const std::string& file = cfg.IniValico;
  ini.ScriviINI("Varie", "WEB_Connection", v[0], file);
  ini.ScriviINI("Varie", "WEB_User", v[1], file);
  ini.ScriviINI("Varie", "WEB_Pw", v[2], file);
  ini.ScriviINI("Varie", "WEB_chkDial", all ? "-1" : "0", file);
}

bool FTP_Invia(const TransferServices& svc, const std::string& percorso_locale,
               const std::string& utente, const std::string& password, const std::string& server) {
  FtpAccount account{server, utente, password};
  std::string err;
  // The remote file deleted first is named by the full local path, as the requesters expect.
  if (!svc.ftp.DeleteRemote(account, percorso_locale, &err)) {
    svc.log.Warn(
        Describe("FTP upload of " + percorso_locale + " failed at the delete: " + err, account));
    return false;
  }
  // The remote name is the local file's name as its folder lists it.
  std::string remote;
  std::string native = svc.files.Native(percorso_locale);
  if (svc.files.IsFile(percorso_locale)) remote = NarrowPath(FsPath(native).filename());
  if (!svc.ftp.PutFile(account, native, remote, &err)) {
    svc.log.Warn(Describe("FTP upload of " + percorso_locale + " failed: " + err, account));
    return false;
  }
  svc.log.Info(Describe("FTP upload of " + percorso_locale + " as " + remote + " done", account));
  return true;
}

bool FTP_Ricevi(const TransferServices& svc, const std::string& cartella,
                const std::string& nome_file, const std::string& utente,
                const std::string& password, const std::string& server) {
  FtpAccount account{server, utente, password};
  std::string local = cartella + nome_file;
  std::string err;
  if (!svc.ftp.GetFile(account, nome_file, svc.files.Native(local), &err)) {
    svc.log.Warn(
        Describe("FTP download of " + nome_file + " to " + local + " failed: " + err, account));
    return false;
  }
  svc.log.Info(Describe("FTP download of " + nome_file + " to " + local + " done", account));
  return true;
}

void LanciaFTP(const TransferServices& svc, std::stop_token stop) {
  const std::string ini = svc.ini.valico_ini();
  const Regional& reg = svc.regional;
  auto read = [&](const char* key) { return svc.ini.LeggiINI("Varie", key, "", ini); };
  const std::string server = read("FTP_Indirizzo");
  const std::string user = read("FTP_User");
  const std::string password = read("FTP_Pw");
  const std::string azione_text = read("FTP_Azione");
  const std::string directory = read("FTP_Directory");
  const std::string nome_file = read("FTP_NomeFile");
  const int azione = ConvertStoredText(azione_text, reg).ToInt16(reg).value_or(0);
  const bool dial = AsFlag(ConvertStoredText(read("WEB_chkDial"), reg)).value_or(false);

  svc.ini.ScriviINI("Varie", "FTP_Finish", "In Corso", ini);

  // A stop request makes a transfer in progress end soon, as a failure.
  FtpClient& ftp = svc.ftp;
  ftp.SetAborted(false);
  std::stop_callback abort_transfer(stop, [&ftp] { ftp.SetAborted(true); });

  bool outcome = Transfer(
      svc, azione, dial,
      [&] {
        return azione == 1 ? FTP_Invia(svc, directory + nome_file, user, password, server)
                           : FTP_Ricevi(svc, directory, nome_file, user, password, server);
      },
      stop);
  if (azione != 1 && azione != 2)
    svc.log.Warn("FTP: request FTP_Azione=\"" + azione_text + "\" is neither 1 nor 2");

  // "Finito" is written last, once the request keys are emptied: a requester that sees it
  // and writes its next request at once must not have that request wiped. A request written
  // while this one ran stays for the next run.
  auto hold = svc.ini.Hold();
  svc.ini.ScriviINI("Varie", "FTP_Esito", outcome ? "-1" : "0", ini);
  if (read("FTP_Azione") == azione_text && read("FTP_NomeFile") == nome_file) {
    svc.ini.ScriviINI("Varie", "FTP_Azione", "", ini);
    svc.ini.ScriviINI("Varie", "FTP_NomeFile", "", ini);
  } else {
    svc.log.Warn("FTP: a new request arrived during the transfer; it is kept for the next run");
  }
  svc.ini.ScriviINI("Varie", "FTP_Finish", "Finito", ini);
}

}  // namespace valico
