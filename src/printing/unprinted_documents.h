#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "printing/document.h"
#include "printing/queue_file.h"

namespace valico {

class DiagLog;
class PrintSystem;

// NonStampati/ of the program folder: the documents that could not be printed. Each is kept
// under a running number as "NNNN-<printer>.job" (its queue file: `valico reprint` queues it
// again), "NNNN-<printer>.txt" (why it was not printed, then the trace of its operations) and
// the drawing of its page. At most `max_kept` documents stay: the oldest go first, and the
// log names each one dropped.
class UnprintedDocuments {
 public:
  static constexpr std::size_t kDefaultMaxKept = 1000;

  struct Entry {
    long number = 0;
    std::string base;     // native path without extension
    std::string printer;  // as its job file names it ("" when the job file cannot be read)
    std::string reason;   // the first line of its trace
    std::int64_t queued_ms = 0;
  };

  // `system` draws the previews; may be null (no drawing). `log` may be null.
  UnprintedDocuments(std::string native_folder, PrintSystem* system, DiagLog* log,
                     std::size_t max_kept = kDefaultMaxKept)
      : folder_(std::move(native_folder)), system_(system), log_(log), max_kept_(max_kept) {}

  const std::string& folder() const { return folder_; }

  // Keeps one document. *kept_as receives the path of its job file. False, with the reason,
  // when not even the job file could be written.
  bool Keep(const Document& doc, std::int64_t queued_ms, const std::string& reason,
            std::string* kept_as, std::string* err);

  // What the folder holds, lowest number (oldest) first.
  std::vector<Entry> List(std::string* err) const;
  // The numbers of the documents kept, lowest first, from one listing of the folder (no file
  // is read).
  std::vector<long> Numbers(std::string* err) const;
  // The job of the document kept under `number`.
  bool Read(long number, QueueFile* job, std::string* err) const;
  // Removes every file kept under `number`.
  bool Remove(long number, std::string* err) const;

 private:
  void DropOldest();

  std::string folder_;
  PrintSystem* system_;
  DiagLog* log_;
  std::size_t max_kept_;
};

}  // namespace valico
