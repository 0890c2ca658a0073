#include "config_ui/form_model.h"

#include <algorithm>

namespace valico {

FormModel::FormModel() {
  for (const LayoutGroup& group : WindowGroups()) {
    for (const LayoutField& field : group.fields) {
      Control& c = controls_[field.control];
      c.kind = field.kind;
      c.printers = field.printers;
      if (field.initial) c.text = field.initial;
    }
  }
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
