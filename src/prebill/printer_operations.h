#pragma once

#include <vector>

#include "prebill/field_format.h"
#include "printing/document.h"

namespace valico {

// What a field-format job sends before its first line: family 500 opens the receipt with the
// control character "w"; the others send nothing. The logo, when there is one, comes before.
std::vector<PrinterOp> JobStartOperations(PrinterFamily family);

// The printer operations of one action in its family's dialect: fonts, sizes, bold, colour
// and the control characters around barcodes and ends of receipt. A font or size the job has
// not chosen yet is not set, so the printer keeps its own.
std::vector<PrinterOp> OperationsFor(PrinterFamily family, const FieldAction& action);

}  // namespace valico
