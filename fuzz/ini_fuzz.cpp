// libFuzzer target for the INI reader and writer: any bytes must read, write and remove
// without a crash, and a value just written must read back, in Windows-1252 and in UTF-16;
// IniFind answers what IniSections lists (first section of the name, first entry of the
// key); a UTF-16 file's bytes come back unchanged, and Windows-1252 text survives UTF-16.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "settings/ini_encoding.h"
#include "settings/ini_text.h"
#include "settings/typed_value.h"

namespace {

// IniFind's answer, from the sections: the first entry of `key` in the first section named
// `name`.
std::optional<std::string> FromSections(const std::vector<valico::IniSection>& sections,
                                        std::string_view name, std::string_view key) {
  for (const valico::IniSection& s : sections) {
    if (!valico::IniNamesEqual(s.name, name)) continue;
    for (const valico::IniEntry& e : s.entries)
      if (valico::IniNamesEqual(e.key, key)) return e.value;
    return std::nullopt;
  }
  return std::nullopt;
}

// Every name of the first sections against every key of the first entries (a bounded number,
// so a long input stays quick), and names the text lacks.
void CheckSectionsAgainstFind(std::string_view in) {
  std::vector<valico::IniSection> sections = valico::IniSections(in);
  std::vector<std::string> names = {"\x01"}, keys = {"\x01"};
  for (size_t i = 0; i < sections.size() && i < 8; ++i) {
    names.push_back(sections[i].name);
    for (size_t j = 0; j < sections[i].entries.size() && j < 4; ++j)
      keys.push_back(sections[i].entries[j].key);
  }
  for (const std::string& name : names)
    for (const std::string& key : keys)
      if (valico::IniFind(in, name, key) != FromSections(sections, name, key)) __builtin_trap();
  valico::IniFileSections(in);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view in(reinterpret_cast<const char*>(data), size);
  valico::IniFind(in, "Varie", "MF_Vuoto");
  CheckSectionsAgainstFind(in);
  bool changed;
  std::string out = valico::IniSet(in, "Varie", "MF_Vuoto", "-1", &changed);
  if (valico::IniFind(out, "Varie", "MF_Vuoto").value_or("") != "-1") __builtin_trap();
  valico::IniRemoveSection(out, "Varie", &changed);
  valico::Regional it = valico::RegionalFor("it");
  valico::ConvertStoredText(std::string(in.substr(0, 64)), it);

  if (valico::NarrowCp1252(valico::WidenCp1252(in)) != in) __builtin_trap();
  std::u16string text = valico::Utf16FromFile(in);
  if (valico::IsUtf16File(in) && size % 2 == 0 && valico::FileFromUtf16(text) != in)
    __builtin_trap();
  const std::u16string value = valico::WidenCp1252(in.substr(0, 16));
  std::u16string wide = valico::IniSet(text, u"Varie", u"Citt\u00e0", value, &changed);
  if (!valico::IniFind(wide, u"VARIE", u"CITT\u00c0")) __builtin_trap();
  valico::IniRemoveSection(wide, u"Varie", &changed);
  return 0;
}
