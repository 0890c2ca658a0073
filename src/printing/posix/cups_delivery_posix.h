#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace valico {

// Submits a PDF as one print job to a CUPS queue. `queue` is "QUEUE" (the machine's
// scheduler, as CUPS_SERVER or client.conf name it) or "QUEUE@HOST[:PORT]". Connection and
// transfer give up after `bound`. True with *job_id; false with the reason.
bool SubmitPdfToCups(std::string_view queue, std::string_view pdf, const std::string& title,
                     std::chrono::milliseconds bound, int* job_id, std::string* err);

}  // namespace valico
