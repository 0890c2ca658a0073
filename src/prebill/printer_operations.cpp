#include "prebill/printer_operations.h"

#include "printing/ops.h"

namespace valico {
namespace {

using Kind = PrinterOp::Kind;
using ops::Bold;
using ops::Colour;
using ops::EndDocument;
using ops::FontName;
using ops::FontSize;
using ops::Print;

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

}  // namespace valico
