#include "config_ui/form_model.h"

#include <algorithm>
#include <utility>

namespace valico {

FormModel::FormModel() {
  using K = ControlKind;
  const std::pair<const char*, K> kControls[] = {
      {"BoreaDir", K::kTextBox},      {"chkBorea", K::kCheckBox},
      {"DLY_Active", K::kCheckBox},   {"DLY_File", K::kTextBox},
      {"DLY_Type", K::kDropDown},     {"DLY_com", K::kCombo},
      {"DLY_Param", K::kTextBox},     {"MF_Active", K::kCheckBox},
      {"MF_File", K::kTextBox},       {"MF_Driver", K::kTextBox},
      {"MF_Type", K::kDropDown},      {"MF_chkLog", K::kCheckBox},
      {"MF_Protocol", K::kDropDown},  {"MF_Delay", K::kTextBox},
      {"MF_Param", K::kTextBox},      {"MF_Com", K::kCombo},
      {"MF_Buffer", K::kCheckBox},    {"MF_FileOutput", K::kTextBox},
      {"RF_Active", K::kCheckBox},    {"RF_File", K::kTextBox},
      {"RF_FILE_2", K::kTextBox},     {"RF_Righe", K::kTextBox},
      {"RF_RIGHE_2", K::kTextBox},    {"RF_Printer", K::kDropDown},
      {"RF_PRINTER_2", K::kDropDown}, {"RF_COM", K::kTextBox},
      {"RF_COM_2", K::kTextBox},      {"Cort_Active", K::kCheckBox},
      {"Cort_File", K::kTextBox},     {"Cort_Logo", K::kCheckBox},
      {"Cort_Printer", K::kDropDown}, {"Cort_COM", K::kTextBox},
      {"chkOpPian", K::kCheckBox},    {"Postazione", K::kCombo},
      {"FTP_server", K::kTextBox},    {"FTP_Utente", K::kTextBox},
      {"FTP_Parola", K::kTextBox},    {"WEB_Connessione", K::kTextBox},
      {"WEB_Utente", K::kTextBox},    {"WEB_Parola", K::kTextBox},
      {"chkConnessione", K::kCheckBox},
  };
  for (const auto& [name, kind] : kControls) controls_[name].kind = kind;
  controls_["BoreaDir"].text = "C:\\CALDERA";
  controls_["DLY_File"].text = "C:\\Valico\\Display.txt";
}

void FormModel::SetText(const std::string& name, const std::string& text) {
  Control& c = controls_.at(name);
  auto it = std::find(c.items.begin(), c.items.end(), text);
  c.selected = it == c.items.end() ? -1 : static_cast<int>(it - c.items.begin());
  if (c.kind == ControlKind::kDropDown && c.selected < 0) {
    c.text.clear();
    return;
  }
  c.text = text;
}

void FormModel::SetChecked(const std::string& name, bool checked) {
  controls_.at(name).value = checked ? 1 : 0;
}

void FormModel::AddItem(const std::string& name, const std::string& item) {
  controls_.at(name).items.push_back(item);
}

}  // namespace valico
