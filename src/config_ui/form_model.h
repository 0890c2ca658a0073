#pragma once

#include <map>
#include <string>
#include <vector>

namespace valico {

// The main window's controls without a toolkit: what the load puts into them and what the
// save reads back. The GUI binds to this model; the headless service keeps it all the same.
enum class ControlKind {
  kTextBox,
  kCheckBox,
  kDropDown,  // text only from its list of items
  kCombo,     // items offered, any text accepted
};

struct Control {
  ControlKind kind = ControlKind::kTextBox;
  std::string text;
  int value = 0;  // check boxes: 0 unticked, 1 ticked
  std::vector<std::string> items;
  int selected = -1;  // drop-down lists and combos: index of the chosen item, -1 for none
};

class FormModel {
 public:
  FormModel();  // every control of the main window with its initial state

  bool Has(const std::string& name) const { return controls_.count(name) != 0; }
  const Control& Get(const std::string& name) const { return controls_.at(name); }

  // Sets a control's text. A drop-down list takes it only when it is one of its items and is
  // otherwise left without a selection.
  void SetText(const std::string& name, const std::string& text);
  void SetChecked(const std::string& name, bool checked);
  void AddItem(const std::string& name, const std::string& item);

  const std::string& Text(const std::string& name) const { return Get(name).text; }
  bool Checked(const std::string& name) const { return Get(name).value != 0; }

 private:
  std::map<std::string, Control> controls_;
};

}  // namespace valico
