#include "printing/printer_declarations.h"

#include <charconv>
#include <optional>

#include "printing/device_fonts.h"
#include "settings/ini_text.h"

namespace valico {
namespace {

// The file's sections in order, each with the key names of its entries.
struct Section {
  std::string name;
  std::vector<std::string> keys;
};

std::vector<Section> ScanSections(std::string_view text) {
  std::vector<Section> sections;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = TrimBlanks(text.substr(pos, end - pos));
    if (!line.empty() && line[0] == '[') {
      std::string_view inner = line.substr(1);
      sections.push_back({std::string(TrimBlanks(inner.substr(0, inner.find(']')))), {}});
    } else if (!line.empty() && line[0] != ';' && !sections.empty()) {
      sections.back().keys.emplace_back(TrimBlanks(line.substr(0, line.find('='))));
    }
    if (end == text.size()) break;
    pos = end + 1;
  }
  return sections;
}

const char* const kKeys[] = {"Porta",  "Uscita",        "Predefinita", "Tipo",
                             "Dpi",    "Larghezza",     "Comandi",     "Codifica",
                             "Taglio", "FineDocumento", "ColonneA",    "ColonneB"};

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
  SectionReader(std::string_view content, const std::string& section,
                std::vector<std::string>* problems)
      : content_(content), section_(section), problems_(problems) {}

  std::optional<std::string> Get(std::string_view key) { return IniFind(content_, section_, key); }
  void Problem(const std::string& text) { problems_->push_back("[" + section_ + "] " + text); }

  // A whole number in [lo, hi]; *out stays as it is when the key is missing or wrong.
  void Int(std::string_view key, int lo, int hi, int* out) {
    auto v = Get(key);
    if (!v) return;
    auto n = Number(*v);
    if (n && *n >= lo && *n <= hi)
      *out = *n;
    else
      Problem(std::string(key) + "=" + *v + " is not a number from " + std::to_string(lo) + " to " +
              std::to_string(hi) + ": " + std::to_string(*out) + " is used");
  }
  void Bytes(std::string_view key, std::string* out) {
    auto v = Get(key);
    std::string bytes;
    if (!v) return;
    if (ParseHexBytes(*v, &bytes))
      *out = bytes;
    else
      Problem(std::string(key) + "=" + *v + " is not bytes in hex (\"1D 56 42 00\")");
  }

 private:
  std::string_view content_;
  const std::string& section_;
  std::vector<std::string>* problems_;
};

PrinterDeclaration Declare(std::string_view content, const Section& s,
                           std::vector<std::string>* problems) {
  PrinterDeclaration d;
  SectionReader r(content, s.name, problems);
  d.info.device = s.name;
  d.info.port = r.Get("Porta").value_or("");
  for (const std::string& k : s.keys)
    if (!KnownKey(k)) r.Problem("unknown key \"" + k + "\" is ignored");

  if (auto v = r.Get("Predefinita")) {
    if (*v == "-1" || *v == "True" || *v == "Vero")
      d.is_default = true;
    else if (*v != "0" && *v != "False" && *v != "Falso")
      r.Problem("Predefinita=" + *v + " is not -1 or 0");
  }

  if (auto v = r.Get("Tipo")) {
    if (SameNameNoCase(*v, "Modulo"))
      d.profile = SlipPrinterProfile();
    else if (!SameNameNoCase(*v, "Rotolo"))
      r.Problem("Tipo=" + *v + " is not Rotolo or Modulo: a receipt roll is assumed");
  }
  PrinterProfile& p = d.profile;
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
      r.Problem("Comandi=" + *v + " is not GS! or ESC!");
  }
  if (auto v = r.Get("Codifica")) {
    if (*v == "1252" || *v == "858")
      p.code_page = *v == "858" ? 858 : 1252;
    else
      r.Problem("Codifica=" + *v + " is not 1252 or 858: 1252 is used");
  }
  r.Bytes("Taglio", &p.cut);
  r.Bytes("FineDocumento", &p.end_of_document);

  auto uscita = r.Get("Uscita");
  d.uscita = uscita.value_or("");
  struct Prefix {
    const char* text;
    PrinterOutput output;
  } const prefixes[] = {{"anteprima:", PrinterOutput::kPreview},
                        {"escpos:", PrinterOutput::kEscPos},
                        {"cups:", PrinterOutput::kCups}};
  for (const Prefix& x : prefixes) {
    if (!StartsWithNoCase(d.uscita, x.text)) continue;
    d.target = d.uscita.substr(std::string_view(x.text).size());
    if (!d.target.empty()) d.output = x.output;
  }
  if (!uscita)
    r.Problem("no Uscita: the printer is listed but prints nothing");
  else if (d.output == PrinterOutput::kNone)
    r.Problem("Uscita=" + d.uscita + " is not anteprima:FOLDER, escpos:TARGET or cups:QUEUE: " +
              "the printer is listed but prints nothing");
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
  bool has_default = false;
  for (const Section& s : ScanSections(content)) {
    if (s.name.empty()) {
      problems->push_back("a section without a name is ignored");
      continue;
    }
    bool twice = false;
    for (const PrinterDeclaration& d : printers)
      twice = twice || IniFind("[" + d.info.device + "]\nx=1", s.name, "x").has_value();
    if (twice) {
      problems->push_back("[" + s.name + "] is declared twice: the first section counts");
      continue;
    }
    PrinterDeclaration d = Declare(content, s, problems);
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
