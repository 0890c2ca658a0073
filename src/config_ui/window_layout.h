#pragma once

#include <vector>

namespace valico {

// One labelled control of the configuration window. The control's kind (text box, check box,
// drop-down list, combo) is the form model's.
struct LayoutField {
  const char* label;             // "" for none: the group's heading says what the control switches
  const char* control;           // a name of control_names.h
  const char* tip = nullptr;     // tooltip
  bool password = false;         // shows "*" for every character
  const char* second = nullptr;  // the same field of the second receipt printer, beside it
};

// A group of controls under its heading, in one of the window's three columns.
struct LayoutGroup {
  int column;           // 0 left, 1 middle, 2 right
  const char* heading;  // "" for the top of the left column, which has none
  std::vector<LayoutField> fields;
};

struct LayoutButton {
  const char* name;
  const char* caption;
  int column;
};

struct LayoutMenuItem {
  // the handler's name: "Esci", "Str_U295", "Stampa_Porte", "Stato_Stampe",
  // "Verifica_Installazione", "About"
  const char* name;
  const char* caption;
};

struct LayoutMenu {
  const char* caption;  // a menu with no items is itself the command ("About")
  std::vector<LayoutMenuItem> items;
  const char* name = nullptr;  // the command of an item-less menu
};

// The configuration window as both GUIs draw it: groups in their columns, top to bottom, the
// buttons and the menu bar. Every control uses the font Tahoma.
const std::vector<LayoutGroup>& WindowGroups();
const std::vector<LayoutButton>& WindowButtons();
const std::vector<LayoutMenu>& WindowMenus();
inline constexpr const char* kWindowFont = "Tahoma";

}  // namespace valico
