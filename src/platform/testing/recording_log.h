#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/diag_log.h"

namespace valico::testing {

// Keeps every diagnostic line so a test can check that a failure was explained.
class RecordingLog : public DiagLog {
 public:
  void Write(LogLevel, std::string_view message) override {
    std::lock_guard lock(mu_);
    lines_.emplace_back(message);
  }
  std::vector<std::string> lines() const {
    std::lock_guard lock(mu_);
    return lines_;
  }
  // How many lines hold `part`.
  int Count(std::string_view part) const {
    int n = 0;
    for (const auto& l : lines()) n += l.find(part) != std::string::npos;
    return n;
  }
  bool Contains(std::string_view part) const { return Count(part) > 0; }

 private:
  mutable std::mutex mu_;
  std::vector<std::string> lines_;
};

}  // namespace valico::testing
