#pragma once

#include <chrono>
#include <stop_token>
#include <string>
#include <string_view>

namespace valico {

// Submits a PDF as one print job to a CUPS queue. `queue` is "QUEUE" (the machine's
// scheduler, as CUPS_SERVER or client.conf name it) or "QUEUE@HOST[:PORT]". Connection and
// transfer give up after `bound`, or once `stop` is requested (within about a second: libcups
// waits up to a second for the scheduler's "100 Continue" without asking). True with *job_id,
// the scheduler's word that it holds the job; false with the reason.
bool SubmitPdfToCups(std::string_view queue, std::string_view pdf, const std::string& title,
                     std::chrono::milliseconds bound, std::stop_token stop, int* job_id,
                     std::string* err);

// Whether the CUPS queue `queue` (as above) exists, accepts jobs and is not stopped, asked of
// its scheduler within `bound`; no job is sent. *found says what the scheduler answered, or
// why it could not be asked.
bool CupsQueueAccepts(std::string_view queue, std::chrono::milliseconds bound, std::string* found);

}  // namespace valico
