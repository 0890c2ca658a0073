#include "config_ui/form_model.h"

#include <algorithm>
#include <utility>

namespace valico {

FormModel::FormModel() {
  using K = ControlKind;
  namespace c = controls;
  const std::pair<const char*, K> kControls[] = {
      {c::BoreaDir, K::kTextBox},        {c::chkBorea, K::kCheckBox},
      {c::DLY_Active, K::kCheckBox},     {c::DLY_File, K::kTextBox},
      {c::DLY_Type, K::kDropDown},       {c::DLY_com, K::kCombo},
      {c::DLY_Param, K::kTextBox},       {c::MF_Active, K::kCheckBox},
      {c::MF_File, K::kTextBox},         {c::MF_Driver, K::kTextBox},
      {c::MF_Type, K::kDropDown},        {c::MF_chkLog, K::kCheckBox},
      {c::MF_Protocol, K::kDropDown},    {c::MF_Delay, K::kTextBox},
      {c::MF_Param, K::kTextBox},        {c::MF_Com, K::kCombo},
      {c::MF_Buffer, K::kCheckBox},      {c::MF_FileOutput, K::kTextBox},
      {c::RF_Active, K::kCheckBox},      {c::RF_File, K::kTextBox},
      {c::RF_FILE_2, K::kTextBox},       {c::RF_Righe, K::kTextBox},
      {c::RF_RIGHE_2, K::kTextBox},      {c::RF_Printer, K::kDropDown},
      {c::RF_PRINTER_2, K::kDropDown},   {c::RF_COM, K::kTextBox},
      {c::RF_COM_2, K::kTextBox},        {c::Cort_Active, K::kCheckBox},
      {c::Cort_File, K::kTextBox},       {c::Cort_Logo, K::kCheckBox},
      {c::Cort_Printer, K::kDropDown},   {c::Cort_COM, K::kTextBox},
      {c::chkOpPian, K::kCheckBox},      {c::Postazione, K::kCombo},
      {c::FTP_server, K::kTextBox},      {c::FTP_Utente, K::kTextBox},
      {c::FTP_Parola, K::kTextBox},      {c::WEB_Connessione, K::kTextBox},
      {c::WEB_Utente, K::kTextBox},      {c::WEB_Parola, K::kTextBox},
      {c::chkConnessione, K::kCheckBox},
  };
  for (const auto& [name, kind] : kControls) controls_[name].kind = kind;
  controls_[c::RF_Printer].printers = true;
  controls_[c::RF_PRINTER_2].printers = true;
  controls_[c::BoreaDir].text = "C:\\CALDERA";
  controls_[c::DLY_File].text = "C:\\Valico\\Display.txt";
  controls_[c::FTP_server].text = "ftp.valico.example";  // shown only: the save never stores it
}

const Control& FormModel::Get(std::string_view name) const {
  static const Control kNone;
  auto it = controls_.find(name);
  return it == controls_.end() ? kNone : it->second;
}

Control* FormModel::Find(std::string_view name) {
  auto it = controls_.find(name);
  return it == controls_.end() ? nullptr : &it->second;
}

bool FormModel::SetText(std::string_view name, const std::string& text) {
  Control* c = Find(name);
  if (!c) return false;
  auto it = std::find(c->items.begin(), c->items.end(), text);
  c->selected = it == c->items.end() ? -1 : static_cast<int>(it - c->items.begin());
  if (c->kind == ControlKind::kDropDown) c->stray = c->selected < 0 ? text : "";
  c->text = text;
  return true;
}

std::vector<std::string> FormModel::Entries(std::string_view name) const {
  const Control& c = Get(name);
  std::vector<std::string> entries = c.items;
  if (!c.stray.empty()) entries.push_back(c.printers ? c.stray + " (non installata)" : c.stray);
  return entries;
}

int FormModel::CurrentEntry(std::string_view name) const {
  const Control& c = Get(name);
  if (c.selected >= 0) return c.selected;
  bool stray_shown = !c.stray.empty() && c.text == c.stray;
  return stray_shown ? static_cast<int>(c.items.size()) : -1;
}

bool FormModel::Choose(std::string_view name, int index) {
  Control* c = Find(name);
  if (!c || index < 0) return false;
  auto at = static_cast<std::size_t>(index);
  if (at < c->items.size()) {
    c->text = c->items[at];
    c->selected = index;
  } else if (at == c->items.size() && !c->stray.empty()) {
    c->text = c->stray;
    c->selected = -1;
  } else {
    return false;
  }
  return true;
}

bool FormModel::SetChecked(std::string_view name, bool checked) {
  Control* c = Find(name);
  if (c) c->value = checked ? 1 : 0;
  return c != nullptr;
}

bool FormModel::AddItem(std::string_view name, const std::string& item) {
  Control* c = Find(name);
  if (c) c->items.push_back(item);
  return c != nullptr;
}

}  // namespace valico
