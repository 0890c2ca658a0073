#pragma once

#include <string>

#include "printing/document.h"

namespace valico {

// A short trace of an operation, as support staff read it: "font FontControl", "size 9.5",
// "bold on", "colour 255,0,0", "print Conto", "position x=0 y=0" (a coordinate left empty is
// left out), "bitmap 200x80", "end document". Printed texts keep their bytes.
std::string Describe(const PrinterOp& op);

// The trace of a whole document: "printer NAME", then one line per operation, each ended
// by a line feed.
std::string TraceText(const Document& doc);

}  // namespace valico
