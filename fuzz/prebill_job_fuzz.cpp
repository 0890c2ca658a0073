// libFuzzer target for pre-bill jobs: any bytes must read as lines and as every job format
// without a crash, and the field-format reader must keep its promises on every line.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/text_lines.h"
#include "prebill/field_format.h"
#include "prebill/job_formats.h"
#include "prebill/printer_operations.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view in(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> lines = valico::SplitTextLines(in);
  for (const std::string& line : lines) {
    if (line.find('\r') != std::string::npos) __builtin_trap();
    valico::TextOfPlainLine(line);
    valico::TextOfN2Line(line);
    valico::TextOfScoLine(line);
  }
  valico::Regional it = valico::RegionalFor("it");
  for (auto family :
       {valico::PrinterFamily::k500, valico::PrinterFamily::k350, valico::PrinterFamily::k103}) {
    valico::FieldFormatReader reader(family, it);
    for (const std::string& line : lines) {
      valico::FieldAction a = reader.Read(line);
      if (a.kind == valico::FieldActionKind::kPrintBarcode && a.font != "JAN13(EAN)")
        __builtin_trap();
      if (valico::OperationsFor(family, a).empty()) __builtin_trap();
    }
  }
  return 0;
}
