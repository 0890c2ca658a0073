// libFuzzer target for what printing reads from outside: any _Stampanti.ini gives printers
// with names unique without regard to case, at most one default and waits in range; any bytes give
// a bitmap in range or a reason, and any document (texts, fonts and control characters from the
// bytes) gives ESC/POS bytes and a page laid out within the tallest page.
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "printing/bitmap_file.h"
#include "printing/escpos_encoder.h"
#include "printing/ops.h"
#include "printing/page_layout.h"
#include "printing/printer_declarations.h"
#include "settings/ini_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view in(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> problems;
  std::unordered_set<std::string> names;
  int defaults = 0;
  for (const valico::PrinterDeclaration& d : valico::ParsePrinterDeclarations(in, &problems)) {
    if (d.info.device.empty() || !names.insert(valico::IniFoldName(d.info.device)).second)
      __builtin_trap();
    if (d.wait_minutes && (*d.wait_minutes < 1 || *d.wait_minutes > 1440)) __builtin_trap();
    defaults += d.is_default;
  }
  if (defaults > 1) __builtin_trap();

  valico::Bitmap bitmap;
  std::string err;
  if (valico::DecodeBitmap(in, &bitmap, &err)) {
    if (bitmap.rgb.size() != static_cast<size_t>(bitmap.width) * bitmap.height * 3 ||
        bitmap.width > valico::kMaxBitmapSide || bitmap.height > valico::kMaxBitmapSide)
      __builtin_trap();
  } else if (err.empty()) {
    __builtin_trap();
  }

  // Lines of the input alternate between font names and printed texts.
  using namespace valico::ops;
  valico::Document doc{"P", {}};
  size_t start = 0;
  for (int i = 0; start <= in.size(); ++i) {
    size_t end = in.find('\n', start);
    std::string_view part = in.substr(start, end == in.npos ? in.npos : end - start);
    doc.ops.push_back(i % 2 ? Print(part) : FontName(part));
    if (end == in.npos) break;
    start = end + 1;
  }
  valico::EncodeEscPos(doc, valico::SlipPrinterProfile());
  if (valico::LayoutPage(doc, valico::PrinterProfile{}).height > valico::kMaxPageDots)
    __builtin_trap();
  return 0;
}
