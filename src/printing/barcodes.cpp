#include "printing/barcodes.h"

#include "printing/device_fonts.h"

namespace valico {
namespace {

constexpr BarcodeFont kBarcodeFonts[] = {
    {"UPC-A", Symbology::kUpcA, 65},       {"UPC-E", Symbology::kUpcE, 66},
    {"JAN13(EAN)", Symbology::kEan13, 67}, {"JAN8(EAN)", Symbology::kEan8, 68},
    {"Code39", Symbology::kCode39, 69},    {"ITF", Symbology::kItf, 70},
    {"Codabar", Symbology::kCodabar, 71},  {"Code93", Symbology::kCode93, 72},
    {"Code128", Symbology::kCode128, 73},
};

bool AllDigits(std::string_view s) {
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

bool AllIn(std::string_view s, std::string_view allowed) {
  for (char c : s)
    if (allowed.find(c) == std::string_view::npos) return false;
  return true;
}

bool Printable(std::string_view s) {
  for (char c : s)
    if (c < 0x20 || c > 0x7e) return false;
  return true;
}

// EAN and UPC: `length` digits with the check digit last, or one fewer without it.
bool WithCheckDigit(std::string_view text, size_t length, const char* name, std::string* data,
                    std::string* why) {
  if (!AllDigits(text) || (text.size() != length && text.size() != length - 1)) {
    *why = std::string(name) + " takes " + std::to_string(length - 1) + " or " +
           std::to_string(length) + " digits";
    return false;
  }
  char check = Mod10CheckDigit(text.substr(0, length - 1));
  if (text.size() == length && text.back() != check) {
    *why = std::string(name) + " " + std::string(text) + " has a wrong check digit (" + check +
           " expected)";
    return false;
  }
  *data = std::string(text.substr(0, length - 1)) + check;
  return true;
}

}  // namespace

const BarcodeFont* FindBarcodeFont(std::string_view name) {
  for (const BarcodeFont& f : kBarcodeFonts)
    if (SameNameNoCase(name, f.name)) return &f;
  return nullptr;
}

char Mod10CheckDigit(std::string_view digits) {
  int sum = 0, weight = 3;
  for (size_t i = digits.size(); i-- > 0;) {
    sum += (digits[i] - '0') * weight;
    weight = 4 - weight;
  }
  return static_cast<char>('0' + (10 - sum % 10) % 10);
}

bool BarcodeData(Symbology symbology, std::string_view text, std::string* data, std::string* why) {
  bool ok = true;
  switch (symbology) {
    case Symbology::kEan13:
      return WithCheckDigit(text, 13, "EAN-13", data, why);
    case Symbology::kEan8:
      return WithCheckDigit(text, 8, "EAN-8", data, why);
    case Symbology::kUpcA:
      return WithCheckDigit(text, 12, "UPC-A", data, why);
    case Symbology::kUpcE:
      ok = AllDigits(text) && text.size() >= 6 && text.size() <= 8;
      break;
    case Symbology::kItf:
      ok = AllDigits(text) && !text.empty() && text.size() % 2 == 0;
      break;
    case Symbology::kCode39:
      ok = AllIn(text, "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ -.$/+%*");
      break;
    case Symbology::kCodabar:
      ok = AllIn(text, "0123456789ABCDabcd$+-./:");
      break;
    case Symbology::kCode93:
    case Symbology::kCode128:
      ok = Printable(text);
      break;
  }
  // GS k function B counts the data in one byte; Code 128 also takes the "{B" code-set prefix.
  if (!ok || text.empty() || text.size() > 250) {
    *why = std::string(text) + " cannot be printed in this barcode";
    return false;
  }
  data->assign(symbology == Symbology::kCode128 ? "{B" : "");
  data->append(text);
  return true;
}

std::string Ean13Modules(std::string_view d) {
  // Left-hand digits in odd (L) or even (G) parity, chosen by the first digit; right-hand R.
  static const char* const kL[] = {"0001101", "0011001", "0010011", "0111101", "0100011",
                                   "0110001", "0101111", "0111011", "0110111", "0001011"};
  static const char* const kParity[] = {"LLLLLL", "LLGLGG", "LLGGLG", "LLGGGL", "LGLLGG",
                                        "LGGLLG", "LGGGLL", "LGLGLG", "LGLGGL", "LGGLGL"};
  std::string m = "101";
  const char* parity = kParity[d[0] - '0'];
  for (int i = 1; i <= 6; ++i) {
    std::string l = kL[d[i] - '0'];
    if (parity[i - 1] == 'G') {  // G is R reversed; R is L inverted
      std::string g;
      for (auto it = l.rbegin(); it != l.rend(); ++it) g += *it == '0' ? '1' : '0';
      l = g;
    }
    m += l;
  }
  m += "01010";
  for (int i = 7; i <= 12; ++i) {
    for (const char* p = kL[d[i] - '0']; *p; ++p) m += *p == '0' ? '1' : '0';
  }
  return m + "101";
}

}  // namespace valico
