// libFuzzer target for what the customer display reads from outside: any bytes on the line
// keep the virtual display at two rows of 20, split into display-file lines that hold every
// byte but the line ends, and give serial settings or a clear error.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/text_lines.h"
#include "display/customer_display.h"
#include "display/virtual_display.h"
#include "platform/serial_port.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view in(reinterpret_cast<const char*>(data), size);
  // The first byte chooses where the bytes are split into two writes.
  std::size_t cut = size ? data[0] % (size + 1) : 0;
  valico::VirtualDisplay display;
  display.Feed(in.substr(0, cut));
  display.Feed(in.substr(cut));
  for (int r = 0; r < valico::VirtualDisplay::kRows; ++r)
    if (display.Row(r).size() != valico::VirtualDisplay::kColumns) __builtin_trap();

  std::size_t kept = 0;
  for (const std::string& line : valico::SplitTextLines(in)) {
    if (line.find('\r') != std::string::npos) __builtin_trap();
    kept += line.size();
  }
  if (kept > size) __builtin_trap();

  valico::SerialSettings s;
  std::string err;
  if (!valico::ParseSerialSettings(in, &s, &err) && err.empty()) __builtin_trap();
  return 0;
}
