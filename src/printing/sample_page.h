#pragma once

#include <string>
#include <vector>

#include "printing/document.h"
#include "printing/print_outlet.h"

namespace valico {

class Printers;

// A one-page sample that shows an installer what a printer makes of Valico's output: every
// device font, bold, red, accented letters and the euro sign, an EAN-13 barcode, a few feeds
// and a cut, then the end of the document.
std::vector<PrinterOp> SamplePageOperations(const std::string& device);

// The EAN-13 code the sample prints (its check digit computed by the printer side).
inline constexpr const char* kSampleEan13 = "800123456789";

// Prints the sample page on the installed printer `device`, or on the current printer when
// `device` is empty; the printer stays current. What became of the page: queued, printed,
// handed over, or not printed with the reason (the printer is not installed, or the page
// could not be delivered and is kept, as every document).
SubmitResult PrintSamplePage(Printers& printers, const std::string& device);

}  // namespace valico
