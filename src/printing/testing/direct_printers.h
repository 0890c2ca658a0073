#pragma once

#include <string>

#include "platform/diag_log.h"
#include "printing/print_queue.h"
#include "printing/printers.h"

namespace valico::testing {

// Printers whose documents go to `system` at once, as an installer's command sends them (no
// queue, no workers); a document that fails is kept in NonStampati of `home`.
struct DirectPrinters {
  DirectPrinters(PrintSystem& system, DiagLog& log, const std::string& home)
      : queue(system, log, {home, PrintQueueOptions::Mode::kDirect}),
        printers(system, queue, log) {}
  PrintQueue queue;
  Printers printers;
};

}  // namespace valico::testing
