#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "printing/print_system.h"

namespace valico {

// The real-time status questions sent after a document: the printer's status (DLE EOT 1),
// then its roll paper sensor's (DLE EOT 4). A printer answers each with one byte as soon as
// the question reaches it, that is once it has taken every byte before it.
inline constexpr std::string_view kStatusQuestions{"\x10\x04\x01\x10\x04\x04", 6};

// The answers to kStatusQuestions, picked out of what a printer sends back: a status byte has
// bit 0 clear, bit 1 set, bit 4 set and bit 7 clear; any other byte (an automatic status
// message, data) is skipped.
class StatusAnswers {
 public:
  void Take(std::string_view bytes);
  bool complete() const { return count_ == 2; }
  std::size_t missing() const { return 2 - count_; }

  // Once complete: printed when the printer is online and has paper (paper near its end:
  // with a warning), else failed saying what the answers show. `where` names the output,
  // `sent` says what was delivered ("812 bytes to COM3").
  DeliveryResult Judge(const std::string& where, const std::string& sent) const;

 private:
  unsigned char answers_[2] = {};
  std::size_t count_ = 0;
};

}  // namespace valico
