#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace valico {

// Every occurrence of `cerca` in `testo_origine` replaced by `sostituto`, scanning from the
// left and going on after each match (so "§§DD" with "§D" removed gives "§D"). An empty
// `cerca` matches nothing and returns the text unchanged.
std::string Sostituisci(std::string_view testo_origine, std::string_view cerca,
                        std::string_view sostituto);

// A plain line as it is printed: every "§D" (0xA7 'D') removed.
std::string TextOfPlainLine(std::string_view line);

// The text an "N2" line prints: everything after the first ":" at or after the fourth
// character, or the whole line when there is none. Empty for a line that does not begin with
// "N2" (such lines print nothing).
std::optional<std::string> TextOfN2Line(std::string_view line);

// The text an "N:SCO:TXT:" line prints: the rest after those ten characters (exact case).
// Empty for any other line.
std::optional<std::string> TextOfScoLine(std::string_view line);

}  // namespace valico
