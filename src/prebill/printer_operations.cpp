#include "prebill/printer_operations.h"

#include <cstdio>

namespace valico {
namespace {

using Kind = PrinterOp::Kind;

PrinterOp Op(Kind kind) {
  PrinterOp op;
  op.kind = kind;
  return op;
}
PrinterOp FontName(std::string_view name) {
  PrinterOp op = Op(Kind::kFontName);
  op.text = name;
  return op;
}
PrinterOp FontSize(double size) {
  PrinterOp op = Op(Kind::kFontSize);
  op.size = size;
  return op;
}
PrinterOp Bold(bool on) {
  PrinterOp op = Op(Kind::kBold);
  op.bold = on;
  return op;
}
PrinterOp Colour(Rgb c) {
  PrinterOp op = Op(Kind::kColour);
  op.colour = c;
  return op;
}
PrinterOp Print(std::string_view text) {
  PrinterOp op = Op(Kind::kPrintLine);
  op.text = text;
  return op;
}
PrinterOp EndDocument() { return Op(Kind::kEndDocument); }

// The text's own font and size, each only when the job has chosen one.
void AddFontAndSize(const FieldAction& a, std::vector<PrinterOp>* ops) {
  if (!a.font.empty()) ops->push_back(FontName(a.font));
  if (a.size > 0) ops->push_back(FontSize(a.size));
}

// Families 350 and 103 announce a barcode with "r" and "x" in the control font, then print
// the digits in the barcode font, which stays current until a later line sets another.
void AddBarcode(const FieldAction& a, std::vector<PrinterOp>* ops) {
  ops->insert(ops->end(), {FontSize(8.5), FontName(kFontControl), Print("r"), Print("x"),
                           FontSize(18), FontName(kFontBarcode), Print(a.text)});
}

}  // namespace

std::string Describe(const PrinterOp& op) {
  char size[32];
  switch (op.kind) {
    case Kind::kFontName:
      return "font " + op.text;
    case Kind::kFontSize:
      std::snprintf(size, sizeof size, "%g", op.size);
      return std::string("size ") + size;
    case Kind::kBold:
      return op.bold ? "bold on" : "bold off";
    case Kind::kColour:
      return "colour " + std::to_string(op.colour.r) + "," + std::to_string(op.colour.g) + "," +
             std::to_string(op.colour.b);
    case Kind::kPrintLine:
      return "print " + op.text;
    case Kind::kEndDocument:
      return "end document";
  }
  return "?";
}

std::vector<PrinterOp> JobStartOperations(PrinterFamily family) {
  if (family != PrinterFamily::k500) return {};
  return {FontSize(9), FontName(kFontControl), Print("w")};
}

std::vector<PrinterOp> OperationsFor(PrinterFamily family, const FieldAction& a) {
  std::vector<PrinterOp> ops;
  switch (family) {
    case PrinterFamily::k500:
      if (a.kind == FieldActionKind::kEndReceipt) {
        ops = {FontSize(9), FontName(kFontControl), Print("P"), EndDocument()};
      } else {
        AddFontAndSize(a, &ops);
        ops.push_back(Colour(a.red ? kRed : kBlack));
        if (a.bold) ops.push_back(Bold(true));
        ops.push_back(Print(a.text));
        ops.push_back(Bold(false));  // after every text line, bold or not
      }
      break;
    case PrinterFamily::k350:
      if (a.kind == FieldActionKind::kEndReceipt) {
        ops = {FontSize(9.5), FontName(kFontControl), Print(" "), Print(" "),
               Print("P"),    EndDocument()};
      } else if (a.kind == FieldActionKind::kPrintBarcode) {
        AddBarcode(a, &ops);
      } else {
        AddFontAndSize(a, &ops);
        ops.push_back(Print(a.text));
      }
      break;
    case PrinterFamily::k103:
      if (a.kind == FieldActionKind::kEndReceipt) {
        // This family closes the receipt with blank lines alone, no control character.
        if (!a.font.empty()) ops.push_back(FontName(a.font));
        for (int i = 0; i < 4; ++i) ops.push_back(Print(" "));
        ops.push_back(EndDocument());
      } else if (a.kind == FieldActionKind::kPrintBarcode) {
        AddBarcode(a, &ops);
      } else {
        AddFontAndSize(a, &ops);
        ops.push_back(Print(a.text));
      }
      break;
  }
  return ops;
}

std::vector<PrinterOp> FieldFormatJobOperations(PrinterFamily family, const Regional& regional,
                                                const std::vector<std::string>& lines) {
  std::vector<PrinterOp> ops = JobStartOperations(family);
  FieldFormatReader reader(family, regional);
  for (const std::string& line : lines) {
    std::vector<PrinterOp> more = OperationsFor(family, reader.Read(line));
    ops.insert(ops.end(), more.begin(), more.end());
  }
  return ops;
}

}  // namespace valico
