#include "platform/file_identity.h"

#include <chrono>

namespace valico {
namespace {

// Two seconds cover the coarsest time stamps a shop's disk may have (FAT, network shares).
constexpr std::int64_t kCoarsestStampMs = 2000;

std::int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

}  // namespace

std::int64_t AgeMs(const FileIdentity& id) { return (NowNs() - id.modified_ns) / 1000000; }

// The write time decides: a second write in the same instant leaves it as it was. (A file
// replaced by a copy that keeps an old write time shows through its status-change time, which
// is part of the identity.)
bool IsRecent(const FileIdentity& id) {
  return (NowNs() - id.modified_ns) / 1000000 < kCoarsestStampMs;
}

}  // namespace valico
