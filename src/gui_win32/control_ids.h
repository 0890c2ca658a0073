#pragma once

#include <string_view>

#include "config_ui/control_names.h"
#include "gui_win32/resource_ids.h"

namespace valico::gui {

// The dialog resource's identifier of every control of the form model. A control's label,
// where it has one, has the identifier + kLabelOffset.
struct ControlId {
  const char* name;
  int id;
};

inline constexpr int kLabelOffset = 200;

namespace c = controls;
inline constexpr ControlId kControlIds[] = {
    {c::BoreaDir, IDC_BoreaDir},
    {c::chkBorea, IDC_chkBorea},
    {c::DLY_Active, IDC_DLY_Active},
    {c::DLY_File, IDC_DLY_File},
    {c::DLY_Type, IDC_DLY_Type},
    {c::DLY_com, IDC_DLY_com},
    {c::DLY_Param, IDC_DLY_Param},
    {c::MF_Active, IDC_MF_Active},
    {c::MF_File, IDC_MF_File},
    {c::MF_Driver, IDC_MF_Driver},
    {c::MF_Type, IDC_MF_Type},
    {c::MF_chkLog, IDC_MF_chkLog},
    {c::MF_Protocol, IDC_MF_Protocol},
    {c::MF_Delay, IDC_MF_Delay},
    {c::MF_Param, IDC_MF_Param},
    {c::MF_Com, IDC_MF_Com},
    {c::MF_Buffer, IDC_MF_Buffer},
    {c::MF_FileOutput, IDC_MF_FileOutput},
    {c::RF_Active, IDC_RF_Active},
    {c::RF_File, IDC_RF_File},
    {c::RF_FILE_2, IDC_RF_FILE_2},
    {c::RF_Righe, IDC_RF_Righe},
    {c::RF_RIGHE_2, IDC_RF_RIGHE_2},
    {c::RF_Printer, IDC_RF_Printer},
    {c::RF_PRINTER_2, IDC_RF_PRINTER_2},
    {c::RF_COM, IDC_RF_COM},
    {c::RF_COM_2, IDC_RF_COM_2},
    {c::Cort_Active, IDC_Cort_Active},
    {c::Cort_File, IDC_Cort_File},
    {c::Cort_Logo, IDC_Cort_Logo},
    {c::Cort_Printer, IDC_Cort_Printer},
    {c::Cort_COM, IDC_Cort_COM},
    {c::chkOpPian, IDC_chkOpPian},
    {c::Postazione, IDC_Postazione},
    {c::FTP_server, IDC_FTP_server},
    {c::FTP_Utente, IDC_FTP_Utente},
    {c::FTP_Parola, IDC_FTP_Parola},
    {c::WEB_Connessione, IDC_WEB_Connessione},
    {c::WEB_Utente, IDC_WEB_Utente},
    {c::WEB_Parola, IDC_WEB_Parola},
    {c::chkConnessione, IDC_chkConnessione},
};

// The identifier of a control, or 0 when the window has none by that name.
inline int ControlIdOf(std::string_view name) {
  for (const ControlId& c : kControlIds) {
    if (name == c.name) return c.id;
  }
  return 0;
}

// The buttons and menu commands, by the names the window layout gives them.
inline constexpr ControlId kCommandIds[] = {
    {"cmdSalva", IDC_cmdSalva},
    {"cmdNascondi", IDC_cmdNascondi},
    {"Command1", IDC_Command1},
    {"Esci", IDM_Esci},
    {"Str_U295", IDM_Str_U295},
    {"Stampa_Porte", IDM_Stampa_Porte},
    {"Stato_Stampe", IDM_Stato_Stampe},
    {"About", IDM_About},
    {"Verifica_Installazione", IDM_Verifica_Installazione},
};

inline int CommandIdOf(std::string_view name) {
  for (const ControlId& c : kCommandIds) {
    if (name == c.name) return c.id;
  }
  return 0;
}

}  // namespace valico::gui
