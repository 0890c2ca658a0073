#include "config_ui/window_layout.h"

#include "config_ui/control_names.h"

namespace valico {
namespace {

namespace c = controls;

constexpr const char* kPortTip = "se COM indicare solo numero, altrimenti per esteso (es Ne01)";
constexpr const char* kRowsTip = "Righe stampabili sul modulo (solo per Epson U-295)";

}  // namespace

const std::vector<LayoutGroup>& WindowGroups() {
  static const std::vector<LayoutGroup> groups = {
      {0, "", {{"Cartella di Lavoro Borea", c::BoreaDir}, {"Settaggi come Borea", c::chkBorea}}},
      {0,
       " Configurazione DISPLAY",
       {{"", c::DLY_Active},
        {"File", c::DLY_File},
        {"Tipo", c::DLY_Type},
        {"COM", c::DLY_com},
        {"Parametri", c::DLY_Param}}},
      {0,
       " Configurazione MISURATORE FISCALE",
       {{"", c::MF_Active},
        {"File Scontrino", c::MF_File},
        {"File Driver", c::MF_Driver},
        {"Tipo", c::MF_Type},
        {"Attiva Log", c::MF_chkLog},
        {"Protocollo", c::MF_Protocol},
        {"Ritardo", c::MF_Delay},
        {"Parametri", c::MF_Param},
        {"COM", c::MF_Com},
        {"Buffer", c::MF_Buffer},
        {"File Output", c::MF_FileOutput}}},
      {1,
       " Configurazione STAMPANTE RICEVUTE FISCALI",
       {{"", c::RF_Active},
        {"File", c::RF_File, nullptr, false, c::RF_FILE_2},
        {"", c::RF_Righe, kRowsTip, false, c::RF_RIGHE_2},
        {"Stampante", c::RF_Printer, nullptr, false, c::RF_PRINTER_2},
        {"COM", c::RF_COM, kPortTip, false, c::RF_COM_2}}},
      {1,
       " Configurazione STAMPANTE di PRECONTO",
       {{"", c::Cort_Active},
        {"File Logo", c::Cort_File},
        {"Logo BMP", c::Cort_Logo},
        {"Stampante", c::Cort_Printer},
        {"COM", c::Cort_COM, kPortTip}}},
      {2, "Operazioni Pianificate Borea", {{"", c::chkOpPian}, {"", c::Postazione}}},
      {2,
       "Gestione FTP",
       {{"Server ftp:\\\\", c::FTP_server},
        {"Nome Utente", c::FTP_Utente},
        {"Password", c::FTP_Parola, nullptr, true}}},
      {2,
       "Connessione Internet",
       {{"Connessione", c::WEB_Connessione},
        {"Nome Utente", c::WEB_Utente},
        {"Password", c::WEB_Parola, nullptr, true},
        {"Connessione Automatica", c::chkConnessione}}},
  };
  return groups;
}

const std::vector<LayoutButton>& WindowButtons() {
  static const std::vector<LayoutButton> buttons = {
      {"cmdSalva", "SALVA CONFIGURAZIONE", 1},
      {"cmdNascondi", "NASCONDI", 1},
      {"Command1", "Command1", 2},
  };
  return buttons;
}

const std::vector<LayoutMenu>& WindowMenus() {
  static const std::vector<LayoutMenu> menus = {
      {"File", {{"Esci", "Esci"}}},
      {"Strumenti",
       {{"Str_U295", "Epson TM-U295"},
        {"Stampa_Porte", "Stampanti - Porte"},
        {"Stato_Stampe", "Stato stampe"},
        {"Verifica_Installazione", "Verifica installazione"}}},
      {"About", {}, "About"},
  };
  return menus;
}

}  // namespace valico
