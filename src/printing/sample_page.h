#pragma once

#include <string>
#include <vector>

#include "printing/document.h"

namespace valico {

// A one-page sample that shows an installer what a printer makes of Valico's output: every
// device font, bold, red, accented letters and the euro sign, an EAN-13 barcode, a few feeds
// and a cut, then the end of the document.
std::vector<PrinterOp> SamplePageOperations(const std::string& device);

// The EAN-13 code the sample prints (its check digit computed by the printer side).
inline constexpr const char* kSampleEan13 = "800123456789";

}  // namespace valico
