#pragma once

#include <stop_token>
#include <string>

#include "jobs/transfer_services.h"
#include "settings/config.h"

namespace valico {

// Start-up imports from Borea's _Local.ini into _Valico.ini, skipped when Borea_Setting is
// false: the FTP account (Si_FTP_ptp, Si_NomeUT_ptp, Si_Psw_ptp to FTP_Indirizzo, FTP_User,
// FTP_Pw) and the internet-connection account (GG_CONNESSIONE, GG_ACCOUNT, GG_PSW to
// WEB_Connection, WEB_User, WEB_Pw, with WEB_chkDial "-1" when all three are set).
// Both first take Borea_Setting afresh into cfg.SettaggiBorea.
void FTP_StartUP_Borea(IniStore& ini, Config& cfg);
void WEB_StartUP_Borea(IniStore& ini, Config& cfg);

// Carries out the transfer requested in _Valico.ini (FTP_Azione "1" upload, "2" download of
// FTP_Directory + FTP_NomeFile), dialling around it when WEB_chkDial is set. Writes
// FTP_Finish "In Corso" at the start; at the end FTP_Esito ("-1" or "0"), empties FTP_Azione
// and FTP_NomeFile unless a new request has replaced them meanwhile, and writes FTP_Finish
// "Finito" last. A stop request cuts the transfer short (it then fails).
void LanciaFTP(const TransferServices& svc, std::stop_token stop = {});

// Uploads `percorso_locale` (a settings path) under its own name: deletes the remote file
// named by the full local path first, and puts only when that delete succeeded.
bool FTP_Invia(const TransferServices& svc, const std::string& percorso_locale,
               const std::string& utente, const std::string& password, const std::string& server);

// Downloads the remote file `nome_file` to `cartella` + `nome_file` (joined as they are).
bool FTP_Ricevi(const TransferServices& svc, const std::string& cartella,
                const std::string& nome_file, const std::string& utente,
                const std::string& password, const std::string& server);

}  // namespace valico
