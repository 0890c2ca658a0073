#include "prebill/printer_by_port.h"

#include <algorithm>
#include <vector>

namespace valico {
namespace {

// Trims blanks (spaces) only, as the settings' port texts are trimmed.
std::string TrimBlanks(const std::string& s) {
  size_t first = s.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool SamePort(const std::string& a, const std::string& b, PortMatch match) {
  if (match == PortMatch::kExact) return a == b;
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Upper(x) == Upper(y); });
}

}  // namespace

std::string ComPortName(const TypedValue& cort_com, const Regional& regional) {
  return "COM" + TrimBlanks(cort_com.ToText(regional)) + ":";
}

std::string PortNameOf(const TypedValue& cort_com, const Regional& regional) {
  bool number = cort_com.is_number() || cort_com.is_flag();
  return (number ? "COM" : "") + TrimBlanks(cort_com.ToText(regional)) + ":";
}

std::optional<std::string> CercaStampantePorta(Printers& printers, const std::string& port,
                                               PortMatch match, std::string* why_not) {
  std::vector<PrinterInfo> installed;
  std::string err;
  if (!printers.List(&installed, &err)) {
    *why_not = "the installed printers cannot be listed (" + err + ")";
    return std::nullopt;
  }
  for (const PrinterInfo& p : installed) {
    if (!SamePort(p.port, port, match)) continue;
    printers.MakeCurrent(p.device);
    return p.device;
  }
  std::string ports;
  for (const PrinterInfo& p : installed) ports += (ports.empty() ? "" : ", ") + p.port;
  *why_not = "no installed printer is on port \"" + port + "\"" +
             (ports.empty() ? std::string(" (none is installed)") : " (only on " + ports + ")");
  return std::nullopt;
}

}  // namespace valico
