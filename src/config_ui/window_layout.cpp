#include "config_ui/window_layout.h"

#include "config_ui/control_names.h"

namespace valico {
namespace {

namespace c = controls;
using K = ControlKind;
using S = Stored;

constexpr const char* kPortTip = "se COM indicare solo numero, altrimenti per esteso (es Ne01)";
constexpr const char* kRowsTip = "Righe stampabili sul modulo (solo per Epson U-295)";

}  // namespace

const std::vector<LayoutGroup>& WindowGroups() {
  // clang-format off
  static const std::vector<LayoutGroup> groups = {
      {0, "", {
          {.label = "Cartella di Lavoro Borea", .control = c::BoreaDir, .kind = K::kTextBox,
           .key = "Borea_Directory", .stored = S::kBySave, .initial = "C:\\CALDERA", .wide = true},
          {.label = "Settaggi come Borea", .control = c::chkBorea, .kind = K::kCheckBox,
           .key = "Borea_Setting", .stored = S::kBySave}}},
      {0, " Configurazione DISPLAY", {
          {.label = "", .control = c::DLY_Active, .kind = K::kCheckBox, .key = "Display_Active",
           .stored = S::kBySave},
          {.label = "File", .control = c::DLY_File, .kind = K::kTextBox, .key = "Display_File",
           .stored = S::kBySave, .initial = "C:\\Valico\\Display.txt", .wide = true},
          {.label = "Tipo", .control = c::DLY_Type, .kind = K::kDropDown, .key = "Display_Type",
           .stored = S::kBySave},
          {.label = "COM", .control = c::DLY_com, .kind = K::kCombo, .key = "Display_COM",
           .stored = S::kBySave},
          {.label = "Parametri", .control = c::DLY_Param, .kind = K::kTextBox,
           .key = "Display_Parametri", .stored = S::kBySave}}},
      {0, " Configurazione MISURATORE FISCALE", {
          {.label = "", .control = c::MF_Active, .kind = K::kCheckBox, .key = "MF_Active",
           .stored = S::kBySave},
          {.label = "File Scontrino", .control = c::MF_File, .kind = K::kTextBox, .key = "MF_File",
           .stored = S::kBySave, .wide = true},
          {.label = "File Driver", .control = c::MF_Driver, .kind = K::kTextBox, .key = "MF_Driver",
           .stored = S::kReadOnly, .wide = true},
          {.label = "Tipo", .control = c::MF_Type, .kind = K::kDropDown, .key = "MF_Type",
           .stored = S::kBySave},
          {.label = "Attiva Log", .control = c::MF_chkLog, .kind = K::kCheckBox, .key = "MF_ChkLog",
           .stored = S::kReadOnly},
          {.label = "Protocollo", .control = c::MF_Protocol, .kind = K::kDropDown, .key = "MF_Prot",
           .stored = S::kBySave},
          {.label = "Ritardo", .control = c::MF_Delay, .kind = K::kTextBox, .key = "MF_Ritardo",
           .stored = S::kBySave, .tip = "centesimi di secondo"},
          {.label = "Parametri", .control = c::MF_Param, .kind = K::kTextBox, .key = "MF_Parametri",
           .stored = S::kBySave},
          {.label = "COM", .control = c::MF_Com, .kind = K::kCombo, .key = "MF_COM",
           .stored = S::kBySave},
          {.label = "Buffer", .control = c::MF_Buffer, .kind = K::kCheckBox, .key = "MF_Buffer",
           .stored = S::kBySave},
          {.label = "File Output", .control = c::MF_FileOutput, .kind = K::kTextBox,
           .key = "MF_File_Output", .stored = S::kBySave, .wide = true}}},
      {1, " Configurazione STAMPANTE RICEVUTE FISCALI", {
          {.label = "", .control = c::RF_Active, .kind = K::kCheckBox, .key = "RF_Active",
           .stored = S::kBySave},
          {.label = "File", .control = c::RF_File, .kind = K::kTextBox, .key = "RF_File",
           .stored = S::kBySave, .wide = true},
          {.label = "", .control = c::RF_FILE_2, .kind = K::kTextBox, .key = "RF_FILE_2",
           .stored = S::kAtOnce, .wide = true, .beside = true},
          {.label = "", .control = c::RF_Righe, .kind = K::kTextBox, .key = "RF_Righe",
           .stored = S::kBySave, .tip = kRowsTip},
          {.label = "", .control = c::RF_RIGHE_2, .kind = K::kTextBox, .tip = kRowsTip,
           .beside = true},
          {.label = "Stampante", .control = c::RF_Printer, .kind = K::kDropDown,
           .key = "RF_Stampante", .stored = S::kBySave, .printers = true},
          {.label = "", .control = c::RF_PRINTER_2, .kind = K::kDropDown, .key = "RF_PRINTER_2",
           .stored = S::kAtOnce, .beside = true, .printers = true},
          {.label = "COM", .control = c::RF_COM, .kind = K::kTextBox, .key = "RF_Seriale",
           .stored = S::kBySave, .tip = kPortTip},
          {.label = "", .control = c::RF_COM_2, .kind = K::kTextBox, .key = "RF_COM_2",
           .stored = S::kAtOnce, .tip = kPortTip, .beside = true}}},
      {1, " Configurazione STAMPANTE di PRECONTO", {
          {.label = "", .control = c::Cort_Active, .kind = K::kCheckBox, .key = "Cort_Active",
           .stored = S::kBySave},
          {.label = "File Logo", .control = c::Cort_File, .kind = K::kTextBox, .key = "Cort_File",
           .stored = S::kBySave, .wide = true},
          {.label = "Logo BMP", .control = c::Cort_Logo, .kind = K::kCheckBox, .key = "Cort_Logo",
           .stored = S::kBySave},
          {.label = "Stampante", .control = c::Cort_Printer, .kind = K::kDropDown,
           .key = "Cort_Printer", .stored = S::kBySave},
          {.label = "COM", .control = c::Cort_COM, .kind = K::kTextBox, .key = "Cort_Com",
           .stored = S::kBySave, .tip = kPortTip}}},
      {2, "Operazioni Pianificate Borea", {
          {.label = "", .control = c::chkOpPian, .kind = K::kCheckBox, .key = "OP_Attive",
           .stored = S::kLoadedOnly},
          {.label = "", .control = c::Postazione, .kind = K::kCombo, .key = "Postazione",
           .stored = S::kLoadedOnly}}},
      {2, "Gestione FTP", {
          {.label = "Server ftp:\\\\", .control = c::FTP_server, .kind = K::kTextBox,
           .initial = "ftp.valico.example"},
          {.label = "Nome Utente", .control = c::FTP_Utente, .kind = K::kTextBox},
          {.label = "Password", .control = c::FTP_Parola, .kind = K::kTextBox, .password = true}}},
      {2, "Connessione Internet", {
          {.label = "Connessione", .control = c::WEB_Connessione, .kind = K::kTextBox},
          {.label = "Nome Utente", .control = c::WEB_Utente, .kind = K::kTextBox},
          {.label = "Password", .control = c::WEB_Parola, .kind = K::kTextBox, .password = true},
          {.label = "Connessione Automatica", .control = c::chkConnessione,
           .kind = K::kCheckBox}}},
  };
  // clang-format on
  return groups;
}

const std::vector<LayoutButton>& WindowButtons() {
  using C = WindowCommand;
  static const std::vector<LayoutButton> buttons = {
      {{C::kSalva, "cmdSalva", "&SALVA CONFIGURAZIONE"}, 1},
      {{C::kNascondi, "cmdNascondi", "&NASCONDI"}, 1},
      {{C::kCommand1, "Command1", "Command1"}, 2},
  };
  return buttons;
}

const std::vector<LayoutMenu>& WindowMenus() {
  using C = WindowCommand;
  static const std::vector<LayoutMenu> menus = {
      {"&File", {{C::kEsci, "Esci", "&Esci"}}},
      {"S&trumenti",
       {{C::kStrU295, "Str_U295", "&Epson TM-U295"},
        {C::kStampaPorte, "Stampa_Porte", "Stampanti - &Porte"},
        {C::kStatoStampe, "Stato_Stampe", "&Stato stampe"},
        {C::kVerificaInstallazione, "Verifica_Installazione", "&Verifica installazione"}}},
      {"&About", {}, {C::kAbout, "About", "&About"}},
  };
  return menus;
}

const LayoutField* FieldOf(std::string_view name) {
  for (const LayoutGroup& group : WindowGroups()) {
    for (const LayoutField& field : group.fields) {
      if (name == field.control) return &field;
    }
  }
  return nullptr;
}

std::string FieldTip(const LayoutField& field, const std::string& value) {
  std::string tip;
  bool shows_text = field.kind != ControlKind::kCheckBox && !field.password;
  if (shows_text && !value.empty()) tip += value + "\n";
  if (field.tip) tip += std::string(field.tip) + "\n";
  std::string key = field.key ? std::string(field.key) + " in _Valico.ini" : "";
  switch (field.stored) {
    case Stored::kBySave:
      return tip + key;
    case Stored::kAtOnce:
      return tip + key + ", salvato a ogni modifica del secondo File";
    case Stored::kReadOnly:
      return tip + key + ": sola lettura, la finestra non lo salva";
    case Stored::kLoadedOnly:
      return tip + key + ": letto all'avvio, la finestra non lo salva";
    case Stored::kNowhere:
      break;
  }
  return tip + "Non salvato: vale solo in questa finestra";
}

}  // namespace valico
