#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "config_ui/control_names.h"
#include "config_ui/window_layout.h"

namespace valico {

// The main window's controls without a toolkit: what the load puts into them and what the
// save reads back. The GUIs bind to this model; the headless service keeps it all the same.
struct Control {
  ControlKind kind = ControlKind::kTextBox;
  std::string text;
  int value = 0;  // check boxes: 0 unticked, 1 ticked
  std::vector<std::string> items;
  int selected = -1;  // drop-down lists and combos: index of the chosen item, -1 for none
  // Drop-down lists: the value last set that the list lacks (a printer unplugged today, a
  // protocol of a newer Borea). It is offered after the items, so that a save made without
  // choosing another writes it back unchanged.
  std::string stray;
  bool printers = false;  // the list holds the installed printers
};

// Controls are named by the constants of control_names.h. A name the window lacks is not an
// error: setting it does nothing (false), reading it gives an empty control.
class FormModel {
 public:
  FormModel();  // every control of the main window with its initial state

  bool Has(std::string_view name) const { return controls_.find(name) != controls_.end(); }
  std::size_t size() const { return controls_.size(); }
  const Control& Get(std::string_view name) const;

  // Sets a control's text. A drop-down list given a text its items lack keeps it as its stray
  // entry, shown after the items and chosen.
  bool SetText(std::string_view name, const std::string& text);
  // What a list shows: its items, then the stray entry, marked " (non installata)" in a list
  // of printers; and the index of the entry shown (-1 for none).
  std::vector<std::string> Entries(std::string_view name) const;
  int CurrentEntry(std::string_view name) const;
  // The user chose entry `index` of Entries(): its item, or the stray value.
  bool Choose(std::string_view name, int index);
  bool SetChecked(std::string_view name, bool checked);
  bool AddItem(std::string_view name, const std::string& item);

  const std::string& Text(std::string_view name) const { return Get(name).text; }
  bool Checked(std::string_view name) const { return Get(name).value != 0; }

 private:
  Control* Find(std::string_view name);

  std::map<std::string, Control, std::less<>> controls_;
};

}  // namespace valico
