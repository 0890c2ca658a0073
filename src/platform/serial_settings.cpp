#include <charconv>
#include <vector>

#include "platform/serial_port.h"

namespace valico {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool ParseInt(std::string_view s, int* out) {
  if (s.empty()) return false;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), *out);
  return ec == std::errc() && p == s.data() + s.size();
}

}  // namespace

bool ParseSerialSettings(std::string_view text, SerialSettings* out, std::string* err) {
  std::vector<std::string_view> f;
  size_t start = 0;
  while (true) {
    size_t comma = text.find(',', start);
    f.push_back(Trim(text.substr(start, comma == std::string_view::npos ? comma : comma - start)));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  auto fail = [&](const std::string& why) {
    if (err) *err = why;
    return false;
  };
  if (f.size() != 4) return fail("expected baud,parity,data bits,stop bits");
  SerialSettings s;
  if (!ParseInt(f[0], &s.baud) || s.baud <= 0)
    return fail("baud rate \"" + std::string(f[0]) + "\" is not a positive number");
  if (f[1].size() != 1) return fail("parity \"" + std::string(f[1]) + "\" is not N, E, O, M or S");
  switch (f[1][0]) {
    case 'N':
    case 'n':
      s.parity = Parity::kNone;
      break;
    case 'E':
    case 'e':
      s.parity = Parity::kEven;
      break;
    case 'O':
    case 'o':
      s.parity = Parity::kOdd;
      break;
    case 'M':
    case 'm':
      s.parity = Parity::kMark;
      break;
    case 'S':
    case 's':
      s.parity = Parity::kSpace;
      break;
    default:
      return fail("parity \"" + std::string(f[1]) + "\" is not N, E, O, M or S");
  }
  if (!ParseInt(f[2], &s.data_bits) || s.data_bits < 5 || s.data_bits > 8)
    return fail("data bits \"" + std::string(f[2]) + "\" are not 5, 6, 7 or 8");
  if (f[3] == "1")
    s.stop_bits = StopBits::kOne;
  else if (f[3] == "1.5")
    s.stop_bits = StopBits::kOnePointFive;
  else if (f[3] == "2")
    s.stop_bits = StopBits::kTwo;
  else
    return fail("stop bits \"" + std::string(f[3]) + "\" are not 1, 1.5 or 2");
  *out = s;
  return true;
}

}  // namespace valico
