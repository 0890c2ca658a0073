#pragma once

#include <string>
#include <vector>

#include "printing/document.h"
#include "printing/queue_file.h"

namespace valico {

// What became of documents handed to an outlet.
enum class Submitted {
  kQueued,      // written whole into the print queue: a delivery worker sends them
  kPrinted,     // delivered at once and confirmed by the output
  kHandedOver,  // delivered at once to an output that cannot confirm
  kNotPrinted,  // neither: the reason says why (and where they were kept, if they were)
  kNothingToPrint,
};

struct SubmitResult {
  SubmitResult(Submitted s = Submitted::kNotPrinted, std::string d = {})
      : status(s), detail(std::move(d)) {}
  Submitted status;
  std::string detail;           // the queued job, what confirmed the print, or why not
  bool source_removed = false;  // the job file they were made of is gone
  // Some documents were neither queued, printed nor kept in NonStampati (a full disk): they
  // are gone unless the job they were made of is taken again.
  bool dropped = false;
  std::string source_kept;  // why that file stays, when it does
  bool ok() const { return status != Submitted::kNotPrinted; }
};

// Where the printers send the documents they end: the print queue of the service, or a
// delivery made at once for the commands an installer runs.
class PrintOutlet {
 public:
  virtual ~PrintOutlet() = default;

  // Takes the documents of one printer, in order, as one job. With `source` (the job file
  // they were made of): that file is removed once the job is durably queued or printed, if it
  // is still the file that was read; otherwise it stays, and the detail says why.
  virtual SubmitResult Submit(std::vector<Document> documents, const SourceFile* source) = 0;
};

}  // namespace valico
