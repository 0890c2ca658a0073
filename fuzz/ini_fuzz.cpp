// libFuzzer target for the INI reader and writer: any bytes must read, write and remove
// without a crash, and a value just written must read back.
#include <cstddef>
#include <cstdint>
#include <string>

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
  return 0;
}
