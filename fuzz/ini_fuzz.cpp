// libFuzzer target for the INI reader and writer: any bytes must read, write and remove
// without a crash, and a value just written must read back, in Windows-1252 and in UTF-16;
// a UTF-16 file's bytes come back unchanged, and Windows-1252 text survives UTF-16.
#include <cstddef>
#include <cstdint>
#include <string>

#include "settings/ini_encoding.h"
#include "settings/ini_text.h"
#include "settings/typed_value.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view in(reinterpret_cast<const char*>(data), size);
  valico::IniFind(in, "Varie", "MF_Vuoto");
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
