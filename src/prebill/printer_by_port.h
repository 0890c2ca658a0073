#pragma once

#include <optional>
#include <string>

#include "platform/regional.h"
#include "printing/printers.h"
#include "settings/typed_value.h"

namespace valico {

// How an installed printer's port name is compared with the port looked for.
enum class PortMatch { kExact, kIgnoreCase };

// The port the field-format model looks for: "COM", Cort_Com's text trimmed of blanks, ":",
// whatever Cort_Com holds (so "Ne01" gives "COMNe01:"). Compared exactly.
std::string ComPortName(const TypedValue& cort_com, const Regional& regional);

// The port the plain-line models look for: "COM" + the number + ":" when Cort_Com is a
// number, otherwise its text trimmed of blanks + ":" ("Ne01" gives "Ne01:"). Compared without
// regard to case.
std::string PortNameOf(const TypedValue& cort_com, const Regional& regional);

// CercaStampantePorta: the first installed printer, in the platform's order, whose port name
// is `port`; it becomes the program's current printer. Empty, with the reason in *why_not,
// when no printer is on that port or the list cannot be had; the current printer is then
// unchanged.
std::optional<std::string> CercaStampantePorta(Printers& printers, const std::string& port,
                                               PortMatch match, std::string* why_not);

}  // namespace valico
