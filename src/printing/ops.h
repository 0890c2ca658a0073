#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "printing/document.h"

// One-line builders of printer operations, for the routines that compose documents.
namespace valico::ops {

inline PrinterOp Op(PrinterOp::Kind kind) {
  PrinterOp op;
  op.kind = kind;
  return op;
}
inline PrinterOp FontName(std::string_view name) {
  PrinterOp op = Op(PrinterOp::Kind::kFontName);
  op.text = name;
  return op;
}
inline PrinterOp FontSize(double points) {
  PrinterOp op = Op(PrinterOp::Kind::kFontSize);
  op.size = points;
  return op;
}
inline PrinterOp Bold(bool on) {
  PrinterOp op = Op(PrinterOp::Kind::kBold);
  op.bold = on;
  return op;
}
inline PrinterOp Colour(Rgb c) {
  PrinterOp op = Op(PrinterOp::Kind::kColour);
  op.colour = c;
  return op;
}
inline PrinterOp Print(std::string_view text) {
  PrinterOp op = Op(PrinterOp::Kind::kPrintLine);
  op.text = text;
  return op;
}
inline PrinterOp Position(std::optional<double> x, std::optional<double> y) {
  PrinterOp op = Op(PrinterOp::Kind::kPosition);
  op.x = x;
  op.y = y;
  return op;
}
inline PrinterOp DrawBitmap(std::shared_ptr<const Bitmap> bitmap) {
  PrinterOp op = Op(PrinterOp::Kind::kDrawBitmap);
  op.bitmap = std::move(bitmap);
  return op;
}
inline PrinterOp EndDocument() { return Op(PrinterOp::Kind::kEndDocument); }

}  // namespace valico::ops
