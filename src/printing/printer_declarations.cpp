#include "printing/printer_declarations.h"

#include <charconv>
#include <optional>
#include <unordered_set>

#include "platform/diag_log.h"
#include "printing/device_fonts.h"
#include "settings/ini_text.h"

namespace valico {
namespace {

const char* const kKeys[] = {"Porta",     "Uscita",   "Predefinita", "Tipo",       "Dpi",
                             "Larghezza", "Comandi",  "Codifica",    "Taglio",     "FineDocumento",
                             "ColonneA",  "ColonneB", "Attesa",      "ChiediStato"};

bool KnownKey(std::string_view key) {
  for (const char* k : kKeys)
    if (SameNameNoCase(key, k)) return true;
  return false;
}

std::optional<int> Number(std::string_view s) {
  int v = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return v;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && SameNameNoCase(s.substr(0, prefix.size()), prefix);
}

class SectionReader {
 public:
  SectionReader(const IniSection& section, std::vector<std::string>* problems)
      : section_(section), problems_(problems) {}

  // The first entry of the key, as the profile functions read it.
  std::optional<std::string> Get(std::string_view key) const {
    for (const IniEntry& e : section_.entries)
      if (IniNamesEqual(e.key, key)) return e.value;
    return std::nullopt;
  }
  void Problem(const std::string& text) {
    problems_->push_back("[" + Cut(section_.name) + "] " + text);
  }

  // A whole number in [lo, hi]; empty when the key is missing or wrong (`otherwise` then says
  // what is used instead).
  std::optional<int> Ranged(std::string_view key, int lo, int hi, const std::string& otherwise) {
    auto v = Get(key);
    if (!v) return std::nullopt;
    auto n = Number(*v);
    if (n && *n >= lo && *n <= hi) return n;
    Problem(std::string(key) + "=" + Cut(*v) + " is not a number from " + std::to_string(lo) +
            " to " + std::to_string(hi) + ": " + otherwise + " is used");
    return std::nullopt;
  }
  // As Ranged; *out stays as it is when the key is missing or wrong.
  void Int(std::string_view key, int lo, int hi, int* out) {
    if (auto n = Ranged(key, lo, hi, std::to_string(*out))) *out = *n;
  }
  // -1 (also True, Vero) or 0 (also False, Falso); *out stays as it is otherwise.
  void Flag(std::string_view key, bool* out) {
    auto v = Get(key);
    if (!v) return;
    if (*v == "-1" || *v == "True" || *v == "Vero")
      *out = true;
    else if (*v == "0" || *v == "False" || *v == "Falso")
      *out = false;
    else
      Problem(std::string(key) + "=" + Cut(*v) + " is not -1 or 0");
  }
  void Bytes(std::string_view key, std::string* out) {
    auto v = Get(key);
    std::string bytes;
    if (!v) return;
    if (ParseHexBytes(*v, &bytes))
      *out = bytes;
    else
      Problem(std::string(key) + "=" + Cut(*v) + " is not bytes in hex (\"1D 56 42 00\")");
  }

 private:
  const IniSection& section_;
  std::vector<std::string>* problems_;
};

// Tipo, then the profile keys over its defaults.
PrinterProfile ReadProfile(SectionReader& r) {
  PrinterProfile p;
  if (auto v = r.Get("Tipo")) {
    if (SameNameNoCase(*v, "Modulo"))
      p = SlipPrinterProfile();
    else if (!SameNameNoCase(*v, "Rotolo"))
      r.Problem("Tipo=" + Cut(*v) + " is not Rotolo or Modulo: a receipt roll is assumed");
  }
  r.Int("Dpi", 60, 600, &p.dpi);
  r.Int("Larghezza", 64, 4096, &p.width_dots);
  r.Int("ColonneA", 0, 255, &p.columns_a);
  r.Int("ColonneB", 0, 255, &p.columns_b);
  if (auto v = r.Get("Comandi")) {
    if (SameNameNoCase(*v, "GS!"))
      p.dialect = EscPosDialect::kModern;
    else if (SameNameNoCase(*v, "ESC!"))
      p.dialect = EscPosDialect::kEscBang;
    else
      r.Problem("Comandi=" + Cut(*v) + " is not GS! or ESC!");
  }
  if (auto v = r.Get("Codifica")) {
    if (*v == "1252" || *v == "858")
      p.code_page = *v == "858" ? 858 : 1252;
    else
      r.Problem("Codifica=" + Cut(*v) + " is not 1252 or 858: 1252 is used");
  }
  r.Bytes("Taglio", &p.cut);
  r.Bytes("FineDocumento", &p.end_of_document);
  return p;
}

void ReadOutput(SectionReader& r, PrinterDeclaration* d) {
  auto uscita = r.Get("Uscita");
  d->uscita = uscita.value_or("");
  struct Prefix {
    const char* text;
    PrinterOutput output;
  } const prefixes[] = {{"anteprima:", PrinterOutput::kPreview},
                        {"escpos:", PrinterOutput::kEscPos},
                        {"cups:", PrinterOutput::kCups}};
  for (const Prefix& x : prefixes) {
    if (!StartsWithNoCase(d->uscita, x.text)) continue;
    d->target = d->uscita.substr(std::string_view(x.text).size());
    if (!d->target.empty()) d->output = x.output;
  }
  if (!uscita)
    r.Problem("no Uscita: the printer is listed but prints nothing");
  else if (d->output == PrinterOutput::kNone)
    r.Problem("Uscita=" + Cut(d->uscita) +
              " is not anteprima:FOLDER, escpos:TARGET or cups:QUEUE: " +
              "the printer is listed but prints nothing");
}

PrinterDeclaration Declare(const IniSection& s, std::vector<std::string>* problems) {
  PrinterDeclaration d;
  SectionReader r(s, problems);
  d.info.device = s.name;
  d.info.port = r.Get("Porta").value_or("");
  for (const IniEntry& e : s.entries)
    if (!KnownKey(e.key)) r.Problem("unknown key \"" + Cut(e.key) + "\" is ignored");
  for (const std::string& line : s.lines_without_equals)
    r.Problem("\"" + Cut(line) + "\" has no \"=\" and is ignored");
  r.Flag("Predefinita", &d.is_default);
  d.wait_minutes = r.Ranged("Attesa", 1, 1440, "the program's wait");
  r.Flag("ChiediStato", &d.ask_status);
  d.profile = ReadProfile(r);
  ReadOutput(r, &d);
  return d;
}

}  // namespace

bool ParseHexBytes(std::string_view text, std::string* out) {
  std::string bytes;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ' ' || text[i] == '\t') {
      ++i;
      continue;
    }
    unsigned v = 0;
    auto [end, ec] =
        std::from_chars(text.data() + i, text.data() + std::min(i + 2, text.size()), v, 16);
    if (ec != std::errc() || end != text.data() + i + 2) return false;
    bytes += static_cast<char>(v);
    i += 2;
  }
  *out = bytes;
  return true;
}

std::vector<PrinterDeclaration> ParsePrinterDeclarations(std::string_view content,
                                                         std::vector<std::string>* problems) {
  std::vector<PrinterDeclaration> printers;
  std::unordered_set<std::string> names;  // case-folded, as the profile functions compare them
  bool has_default = false;
  for (const IniSection& s : IniFileSections(content)) {
    if (s.name.empty()) {
      problems->push_back("a section without a name is ignored");
      continue;
    }
    if (!names.insert(IniFoldName(s.name)).second) {
      problems->push_back("[" + s.name + "] is declared twice: the first section counts");
      continue;
    }
    PrinterDeclaration d = Declare(s, problems);
    if (d.is_default && has_default) {
      problems->push_back("[" + s.name + "] Predefinita: another printer is the default already");
      d.is_default = false;
    }
    has_default = has_default || d.is_default;
    printers.push_back(std::move(d));
  }
  return printers;
}

}  // namespace valico
