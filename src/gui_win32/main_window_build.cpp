#include "gui_win32/main_window_build.h"

#include <algorithm>

#include "config_ui/window_layout.h"
#include "gui_win32/control_ids.h"

namespace valico::gui {
namespace {

// Geometry in dialog units.
constexpr int kMargin = 6;
constexpr int kGap = 4;
constexpr int kRow = 14;
constexpr int kFieldHeight = 12;
constexpr int kHeadingHeight = 13;
constexpr int kButtonHeight = 16;

struct ColumnSize {
  int label;
  int field;  // a field alone; two fields beside each other share it
};
constexpr ColumnSize kColumns[] = {{88, 140}, {40, 170}, {84, 90}};

int ColumnWidth(int column) {
  return kMargin + kColumns[column].label + kGap + kColumns[column].field + kMargin;
}

int ColumnLeft(int column) {
  int x = kMargin;
  for (int c = 0; c < column; ++c) x += ColumnWidth(c) + kMargin;
  return x;
}

// Makes one child of the dialog at a rectangle in dialog units.
HWND Child(HWND dialog, const char* cls, const char* text, DWORD style, int id, RECT r,
           DWORD ex_style = 0) {
  ::MapDialogRect(dialog, &r);
  HWND w = ::CreateWindowExA(ex_style, cls, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                             r.right - r.left, r.bottom - r.top, dialog,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             ::GetModuleHandleA(nullptr), nullptr);
  ::SendMessageA(w, WM_SETFONT, ::SendMessageA(dialog, WM_GETFONT, 0, 0), FALSE);
  return w;
}

void MakeControl(HWND dialog, const LayoutField& field, int id, RECT r) {
  bool read_only = field.stored == Stored::kReadOnly;
  switch (field.kind) {
    case ControlKind::kTextBox:
      Child(dialog, "EDIT", field.initial ? field.initial : "",
            WS_TABSTOP | ES_AUTOHSCROLL | (field.password ? ES_PASSWORD : 0) |
                (read_only ? ES_READONLY : 0),
            id, r, WS_EX_CLIENTEDGE);
      break;
    case ControlKind::kCheckBox:
      // A read-only box is not an automatic one: a click leaves its tick alone.
      r.right = r.left + 10;
      r.bottom = r.top + 10;
      Child(dialog, "BUTTON", "", WS_TABSTOP | (read_only ? BS_CHECKBOX : BS_AUTOCHECKBOX), id, r);
      break;
    case ControlKind::kDropDown:
    case ControlKind::kCombo:
      r.bottom = r.top + 120;  // the open list
      Child(dialog, "COMBOBOX", "",
            WS_TABSTOP | WS_VSCROLL |
                (field.kind == ControlKind::kCombo ? CBS_DROPDOWN | CBS_AUTOHSCROLL
                                                   : CBS_DROPDOWNLIST),
            id, r);
      break;
  }
}

// A group's box, labels and controls from `top`; gives the group's bottom.
int MakeGroup(HWND dialog, const LayoutGroup& group, int top, int* id, int* group_id) {
  const ColumnSize size = kColumns[group.column];
  const int left = ColumnLeft(group.column);
  const int label_x = left + kMargin;
  const int field_x = label_x + size.label + kGap;
  int y = *group.heading ? top + kHeadingHeight : top;
  int beside_x = 0;
  for (size_t i = 0; i < group.fields.size(); ++i) {
    const LayoutField& field = group.fields[i];
    bool paired = i + 1 < group.fields.size() && group.fields[i + 1].beside;
    int width = paired || field.beside ? (size.field - kGap) / 2 : size.field;
    int x = field_x;
    if (field.beside) {
      x = beside_x;
      y -= kRow;
    } else if (!*field.label && field.kind == ControlKind::kCheckBox) {
      x = label_x;  // the group's switch, under its heading
    }
    if (*field.label)
      Child(dialog, "STATIC", field.label, SS_LEFT | SS_NOPREFIX, *id + kLabelOffset,
            RECT{label_x, y + 2, label_x + size.label, y + 2 + 10});
    MakeControl(dialog, field, *id, RECT{x, y, x + width, y + kFieldHeight});
    beside_x = x + width + kGap;
    ++*id;
    y += kRow;
  }
  if (!*group.heading) return y;
  int bottom = y + 2;
  Child(dialog, "BUTTON", group.heading, BS_GROUPBOX, (*group_id)++,
        RECT{left, top, left + ColumnWidth(group.column), bottom});
  return bottom;
}

HMENU MakeMenuBar() {
  HMENU bar = ::CreateMenu();
  for (const LayoutMenu& menu : WindowMenus()) {
    if (menu.items.empty()) {
      ::AppendMenuA(bar, MF_STRING, CommandIdOf(menu.command.command), menu.caption);
      continue;
    }
    HMENU items = ::CreatePopupMenu();
    for (const LayoutCommand& item : menu.items)
      ::AppendMenuA(items, MF_STRING, CommandIdOf(item.command), item.caption);
    ::AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(items), menu.caption);
  }
  return bar;
}

}  // namespace

void BuildMainWindow(HWND dialog) {
  int bottom[3] = {kGap, kGap, kGap};
  int id = kFirstControlId, group_id = kFirstGroupId;
  for (const LayoutGroup& group : WindowGroups()) {
    int& y = bottom[group.column];
    y = MakeGroup(dialog, group, y, &id, &group_id) + kGap;
  }
  // The main buttons span their column; Command1 stands at the foot of the right one.
  for (const LayoutButton& button : WindowButtons()) {
    int left = ColumnLeft(button.column), right = left + ColumnWidth(button.column);
    if (button.command.command == WindowCommand::kCommand1) left = right - 80;
    int& y = bottom[button.column];
    Child(dialog, "BUTTON", button.command.caption, WS_TABSTOP | BS_PUSHBUTTON,
          CommandIdOf(button.command.command), RECT{left, y, right, y + kButtonHeight + 2});
    y += kButtonHeight + 2 + kGap;
  }
  RECT client{0, 0, ColumnLeft(3), *std::max_element(bottom, bottom + 3) + kMargin};
  ::MapDialogRect(dialog, &client);
  ::SetMenu(dialog, MakeMenuBar());
  DWORD style = static_cast<DWORD>(::GetWindowLongA(dialog, GWL_STYLE));
  DWORD ex_style = static_cast<DWORD>(::GetWindowLongA(dialog, GWL_EXSTYLE));
  ::AdjustWindowRectEx(&client, style, TRUE, ex_style);
  // Centred again at its new size, in the screen's work area.
  int width = client.right - client.left, height = client.bottom - client.top;
  RECT area{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  int x = std::max<int>(area.left, area.left + (area.right - area.left - width) / 2);
  int y = std::max<int>(area.top, area.top + (area.bottom - area.top - height) / 2);
  ::SetWindowPos(dialog, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace valico::gui
