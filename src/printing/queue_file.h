#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_identity.h"
#include "printing/document.h"

namespace valico {

// The job file a document waited in came from (a receipt or pre-bill job file): removed once
// the job is durably queued, if it is still the file that was read.
struct SourceFile {
  std::string native_path;
  FileIdentity identity;
  bool operator==(const SourceFile&) const = default;
};

// One queued print job: the documents (print jobs of one printer, in order) and where they
// came from.
struct QueueFile {
  std::string printer;         // device name, exactly
  std::int64_t queued_ms = 0;  // wall clock, ms since 1970 (UTC)
  std::optional<SourceFile> source;
  std::vector<Document> documents;  // each Document.printer == printer
};

// The bytes of a queue file (format "VALICO-CODA 1"): text lines of a keyword and its fields,
// texts as LENGTH:BYTES, the pixels of each bitmap once (however many operations share it)
// after the documents, and "end" last. An operation keeps the fields of its kind; the others
// come back at their defaults, and each document comes back on the job's printer. A bitmap
// whose pixels are not width x height x 3 bytes within the limits of bitmap_file.h makes a
// file that is refused when read.
std::string EncodeQueueFile(const QueueFile& job);

// False with the reason (never a crash, never an allocation larger than the input allows) when
// `bytes` is not a whole queue file of this format (err may be null); *out is then left as it
// was. Operations
// that drew the same bitmap come back sharing one.
bool DecodeQueueFile(std::string_view bytes, QueueFile* out, std::string* err);

// True when two jobs hold the same, field by field: bitmaps compared by their pixels, numbers
// by their bits (so a NaN equals itself). A job read back from its file is the same as the job
// written.
bool SameQueueFile(const QueueFile& a, const QueueFile& b);

}  // namespace valico
