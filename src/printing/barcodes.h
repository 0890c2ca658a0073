#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace valico {

enum class Symbology { kUpcA, kUpcE, kEan13, kEan8, kCode39, kItf, kCodabar, kCode93, kCode128 };

// A barcode device font: text printed in it becomes a barcode of this symbology, sent with
// GS k m (function B).
struct BarcodeFont {
  const char* name;  // as the driver offers it ("JAN13(EAN)")
  Symbology symbology;
  std::uint8_t m;  // GS k function B code
};

// The barcode font called `name` (without regard to case), or null.
const BarcodeFont* FindBarcodeFont(std::string_view name);

// The data a printer takes for a text printed in a barcode font. EAN-13, EAN-8 and UPC-A get
// their check digit when it is left out; a wrong one, a character the symbology cannot carry
// or a wrong length give false with *why (the caller prints the text as text).
bool BarcodeData(Symbology symbology, std::string_view text, std::string* data, std::string* why);

// The check digit of the digits of an EAN or UPC code (weights 3 and 1 from the right).
char Mod10CheckDigit(std::string_view digits);

// The 95 modules of an EAN-13 code of 13 digits, '1' for a bar, '0' for a space, guards
// included.
std::string Ean13Modules(std::string_view digits);

}  // namespace valico
