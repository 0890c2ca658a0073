#pragma once

#include <string_view>

#include "config_ui/window_layout.h"

namespace valico::gui {

// The identifiers of the configuration window's children, numbered from the window layout: a
// control's is kFirstControlId + its place among the fields, its label's that + kLabelOffset;
// the group boxes with a heading count from kFirstGroupId; a command's is the same for its
// button and its menu item.
inline constexpr int kFirstControlId = 1001;
inline constexpr int kLabelOffset = 200;
inline constexpr int kFirstGroupId = 1501;
inline constexpr int kFirstCommandId = 1601;

// The identifier of a control, or 0 when the window has none by that name.
inline int ControlIdOf(std::string_view name) {
  int id = kFirstControlId;
  for (const LayoutGroup& group : WindowGroups()) {
    for (const LayoutField& field : group.fields) {
      if (name == field.control) return id;
      ++id;
    }
  }
  return 0;
}

// The field whose control has identifier `id`, or null.
inline const LayoutField* FieldOfId(int id) {
  int at = kFirstControlId;
  for (const LayoutGroup& group : WindowGroups()) {
    for (const LayoutField& field : group.fields) {
      if (at++ == id) return &field;
    }
  }
  return nullptr;
}

inline int CommandIdOf(WindowCommand command) {
  return kFirstCommandId + static_cast<int>(command);
}

// The command of identifier `id`, or false.
inline bool CommandOfId(int id, WindowCommand* command) {
  if (id < kFirstCommandId || id >= kFirstCommandId + kWindowCommands) return false;
  *command = static_cast<WindowCommand>(id - kFirstCommandId);
  return true;
}

}  // namespace valico::gui
