#pragma once

#include <string>

#include "printing/printer_profile.h"

namespace valico {

// What printing one character in the driver's control font makes a receipt printer do.
struct ControlCommand {
  std::string bytes;  // ESC/POS bytes; empty for a character without a command
  std::string note;   // what a preview marks in the margin ("cut", "drawer 1, 100 ms")
  enum class Effect {
    kNone,
    kFeed,
    kAlignLeft,
    kAlignCentre,
    kAlignRight,
    kDigitsBelow,
    kNoDigits,
    kOther
  };
  Effect effect = Effect::kOther;
};

// The command of control character `c` on a printer with `profile` (its cut for "P").
// Characters without a command give no bytes and a note that says so.
ControlCommand ControlCommandFor(char c, const PrinterProfile& profile);

}  // namespace valico
