#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/regional.h"
#include "prebill/field_format.h"

namespace valico {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kRed{255, 0, 0};

// One operation on the current printer, in the order the printer receives them. A print
// always ends its line, a single control character included.
struct PrinterOp {
  enum class Kind { kFontName, kFontSize, kBold, kColour, kPrintLine, kEndDocument };
  Kind kind = Kind::kPrintLine;
  std::string text;  // the font name, or the text printed
  double size = 0;   // points, fractional sizes as they are
  bool bold = false;
  Rgb colour;
  bool operator==(const PrinterOp&) const = default;
};

// A short trace of an operation: "font FontControl", "size 9.5", "bold on", "colour 255,0,0",
// "print Conto", "end document".
std::string Describe(const PrinterOp& op);

// What a field-format job sends before its first line: family 500 opens the receipt with the
// control character "w"; the others send nothing. The logo, when there is one, comes before.
std::vector<PrinterOp> JobStartOperations(PrinterFamily family);

// The printer operations of one action in its family's dialect: fonts, sizes, bold, colour
// and the control characters around barcodes and ends of receipt. A font or size the job has
// not chosen yet is not set, so the printer keeps its own.
std::vector<PrinterOp> OperationsFor(PrinterFamily family, const FieldAction& action);

// A whole field-format job: the start, then each line's operations. Text after the last end
// of receipt stays in the open document, as the printer would keep it.
std::vector<PrinterOp> FieldFormatJobOperations(PrinterFamily family, const Regional& regional,
                                                const std::vector<std::string>& lines);

}  // namespace valico
