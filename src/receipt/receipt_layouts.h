#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "printing/document.h"
#include "settings/config.h"

namespace valico {

// The texts of a receipt job as the two form layouts print them; CR LF pairs end their lines.
struct ReceiptForm {
  std::string header1;  // the text of each "I1" record and CR LF, padded to 4 lines
  std::string header2;  // the same for "I2", padded to 3 lines
  // The "RR" records of each page: 23 on the first, 22 on each later one. Always at least
  // one block; the last line of a full block carries no CR LF.
  std::vector<std::string> blocks;
  std::string filler;  // lines of one space printed after the last page's block
};

// Collects the records of a job by their tag, the first two characters ("I1", "I2", "RR",
// compared exactly); the third character is skipped and the text is the rest. Receipt lines
// past the third page go on further pages of 22, whose filler is counted as for the others.
ReceiptForm CollectReceiptForm(const std::vector<std::string>& records);

// The documents a receipt job prints on a printer of `model`, one per page or form, in order,
// each ending with an end of document. None for RfModel::kOther.
std::vector<std::vector<PrinterOp>> ReceiptDocuments(RfModel model,
                                                     const std::vector<std::string>& records);

// A larger file is no receipt job: it is not read.
inline constexpr std::uintmax_t kMaxReceiptJobBytes = 1 << 20;
// A job of more pages or slip forms is refused rather than spent on numbered forms.
inline constexpr std::size_t kMaxReceiptPages = 20;

// The documents of a receipt job file's text (its records read as the job format says), or
// false with the reason when it is no job to print: it holds NUL bytes (no text), or it would
// take more than kMaxReceiptPages pages or forms.
bool LayOutReceiptJob(RfModel model, std::string_view text,
                      std::vector<std::vector<PrinterOp>>* documents, std::string* why);

}  // namespace valico
