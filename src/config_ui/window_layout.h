#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace valico {

enum class ControlKind {
  kTextBox,
  kCheckBox,
  kDropDown,  // text only from its list of items
  kCombo,     // items offered, any text accepted
};

// How a control's value reaches _Valico.ini.
enum class Stored {
  kBySave,      // "SALVA CONFIGURAZIONE" writes it
  kAtOnce,      // the second receipt printer: written at every change of its file's text
  kReadOnly,    // loaded from its key, never written by the window: it cannot be edited
  kLoadedOnly,  // loaded from its key at the start, not written by the save
  kNowhere,     // lives only in the window
};

// One control of the configuration window: everything both GUIs draw it from.
struct LayoutField {
  const char* label;    // "" for none: the group's heading says what the control switches
  const char* control;  // a name of control_names.h
  ControlKind kind;
  const char* key = nullptr;  // its key in section Varie of _Valico.ini
  Stored stored = Stored::kNowhere;
  const char* tip = nullptr;      // what to type, before the key's line in the tooltip
  const char* initial = nullptr;  // its text before the load
  bool wide = false;              // holds a path: drawn wide enough for a usual one
  bool password = false;          // shows "*" for every character
  bool beside = false;            // stands beside the field before it, under that one's label
  bool printers = false;          // a list of the installed printers
};

// A group of controls under its heading, in one of the window's three columns.
struct LayoutGroup {
  int column;           // 0 left, 1 middle, 2 right
  const char* heading;  // "" for the top of the left column, which has none
  std::vector<LayoutField> fields;
};

// Every command of the window, whichever button or menu item gives it.
enum class WindowCommand {
  kSalva,
  kNascondi,
  kCommand1,
  kEsci,
  kStrU295,
  kStampaPorte,
  kStatoStampe,
  kVerificaInstallazione,
  kAbout,
};
inline constexpr int kWindowCommands = 9;

// A button or menu item. Captions mark their mnemonic letter with "&".
struct LayoutCommand {
  WindowCommand command;
  const char* name;  // the handler's name, also the widget's
  const char* caption;
};

struct LayoutButton {
  LayoutCommand command;
  int column;
};

struct LayoutMenu {
  const char* caption;
  std::vector<LayoutCommand> items;  // none: the menu is itself `command` ("About")
  LayoutCommand command{};
};

// The configuration window as both GUIs draw it: groups in their columns, top to bottom, the
// buttons and the menu bar. Every control uses the font Tahoma.
const std::vector<LayoutGroup>& WindowGroups();
const std::vector<LayoutButton>& WindowButtons();
const std::vector<LayoutMenu>& WindowMenus();
inline constexpr const char* kWindowFont = "Tahoma";

// The field of control `name`, or null.
const LayoutField* FieldOf(std::string_view name);

// The tooltip of a field showing `value`: the whole value (where the field shows its text),
// the field's tip, and which key of which file it stores, or that it stores none. Lines end
// with "\n".
std::string FieldTip(const LayoutField& field, const std::string& value);

}  // namespace valico
