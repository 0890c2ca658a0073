#pragma once

#include <string>
#include <vector>

#include "printing/print_outlet.h"
#include "printing/printers.h"
#include "printing/unprinted_documents.h"

namespace valico {

// Which documents of NonStampati/ to print again, and where.
struct ReprintRequest {
  std::vector<long> numbers;  // by the number their files' names start with
  bool all = false;           // every document kept, instead of `numbers`
  std::string printer;        // the printer to print them on; "" for each one's own
};

// One line per document: "Documento N: " and whether it was queued again, or why not.
struct ReprintOutcome {
  struct Line {
    bool queued;
    std::string text;
  };
  std::vector<Line> lines;
  bool all_queued() const;
  bool any_queued() const;
  std::string Text() const;  // the lines, each ended by "\n"
};

// Hands the documents asked for back to `outlet` (the print queue: the serving program's, or
// its inbox), each as the one job it was, on its own printer or the one asked for; a document
// leaves NonStampati/ only once it is queued. A number that is not kept, a job file that cannot
// be read, a document that names no printer, or a printer that is not installed (when the list
// of `printers` can be had) is not queued, and the line says why.
ReprintOutcome ReprintUnprinted(const UnprintedDocuments& unprinted, PrintOutlet& outlet,
                                Printers& printers, const ReprintRequest& request);

}  // namespace valico
