#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/regional.h"

namespace valico {

// The dialect of a receipt printer that prints the field format, told by its device name.
enum class PrinterFamily { k500, k350, k103 };

// "500" anywhere in the device name (with case) is family 500, else "350" is 350, else 103.
PrinterFamily PrinterFamilyOf(std::string_view device_name);
const char* FamilyName(PrinterFamily family);

// The "#"-separated fields of a line: a "#" at the end opens no field, an empty line has none.
std::vector<std::string_view> SplitFields(std::string_view line);

// Device fonts the field format selects.
inline constexpr std::string_view kFontControl = "FontControl";
inline constexpr std::string_view kFontBarcode = "JAN13(EAN)";

enum class FieldActionKind { kPrintText, kPrintBarcode, kEndReceipt };

// What one line of the field format asks the printer to do.
struct FieldAction {
  FieldActionKind kind = FieldActionKind::kPrintText;
  std::string text;  // the line's text, or the digits of the barcode
  // The font and size chosen so far: "" and 0 while the job has chosen none, and the printer
  // then keeps its own. An end of receipt carries the font too (family 103 prints its
  // closing blank lines in it).
  std::string font;
  double size = 0;
  bool bold = false;
  bool red = false;
  bool operator==(const FieldAction&) const = default;
};

// Reads a job in the field format, one line at a time. Every field, and the font and size it
// selects, carries over to the following lines: a line that ends before a field leaves that
// field as it was, and an empty line repeats the previous action. One reader per job.
class FieldFormatReader {
 public:
  FieldFormatReader(PrinterFamily family, const Regional& regional);

  // Takes in one line (without its line end) and returns its action. Never fails: a field
  // that does not convert keeps or gives the value its family's table says.
  FieldAction Read(std::string_view line);

  PrinterFamily family() const { return family_; }

 private:
  void ReadField500(size_t index, std::string_view field);
  void ReadField350(size_t index, std::string_view field);
  void ReadField103(size_t index, std::string_view field);
  // TipoRiga and Grassetto: empty gives 0, a number its integer part, a text keeps the value.
  void ReadWholeNumber(std::string_view field, std::int64_t* value) const;

  PrinterFamily family_;
  Regional regional_;
  std::string testo_;
  std::int64_t tipo_riga_ = 0;
  std::int64_t grassetto_ = 0;
  std::string colore_;
  std::string font_;
  double size_ = 0;
};

}  // namespace valico
