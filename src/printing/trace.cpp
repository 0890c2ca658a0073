#include "printing/trace.h"

#include <cstdio>

namespace valico {
namespace {

std::string Number(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", v);
  return buf;
}

}  // namespace

std::string Describe(const PrinterOp& op) {
  using Kind = PrinterOp::Kind;
  switch (op.kind) {
    case Kind::kFontName:
      return "font " + op.text;
    case Kind::kFontSize:
      return "size " + Number(op.size);
    case Kind::kBold:
      return op.bold ? "bold on" : "bold off";
    case Kind::kColour:
      return "colour " + std::to_string(op.colour.r) + "," + std::to_string(op.colour.g) + "," +
             std::to_string(op.colour.b);
    case Kind::kPrintLine:
      return "print " + op.text;
    case Kind::kPosition: {
      std::string s = "position";
      if (op.x) s += " x=" + Number(*op.x);
      if (op.y) s += " y=" + Number(*op.y);
      return s;
    }
    case Kind::kDrawBitmap:
      if (!op.bitmap) return "bitmap none";
      return "bitmap " + std::to_string(op.bitmap->width) + "x" + std::to_string(op.bitmap->height);
    case Kind::kEndDocument:
      return "end document";
  }
  return "?";
}

std::string TraceText(const Document& doc) {
  std::string out = "printer " + doc.printer + "\n";
  for (const PrinterOp& op : doc.ops) out += Describe(op) + "\n";
  return out;
}

}  // namespace valico
