#include "prebill/job_formats.h"

namespace valico {

std::string Sostituisci(std::string_view testo_origine, std::string_view cerca,
                        std::string_view sostituto) {
  if (cerca.empty()) return std::string(testo_origine);
  std::string out;
  out.reserve(testo_origine.size());
  size_t i = 0;
  while (i < testo_origine.size()) {
    if (testo_origine.substr(i, cerca.size()) == cerca) {
      out += sostituto;
      i += cerca.size();
    } else {
      out += testo_origine[i++];
    }
  }
  return out;
}

std::string TextOfPlainLine(std::string_view line) {
  return Sostituisci(line,
                     "\xA7"
                     "D",
                     "");
}

std::optional<std::string> TextOfN2Line(std::string_view line) {
  if (line.substr(0, 2) != "N2") return std::nullopt;
  // The search starts at the fourth character, so "N2:01:..." skips its first ":".
  size_t colon = line.size() > 3 ? line.find(':', 3) : std::string_view::npos;
  if (colon == std::string_view::npos) return std::string(line);
  return std::string(line.substr(colon + 1));
}

std::optional<std::string> TextOfScoLine(std::string_view line) {
  constexpr std::string_view kMarker = "N:SCO:TXT:";
  if (line.substr(0, kMarker.size()) != kMarker) return std::nullopt;
  return std::string(line.substr(kMarker.size()));
}

}  // namespace valico
