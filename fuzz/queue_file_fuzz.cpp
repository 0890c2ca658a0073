// libFuzzer target for the queue files a restart reads back: any bytes either give a job that
// writes and reads back as the same job (and the same bytes), or are refused with a reason.
#include <cstddef>
#include <cstdint>
#include <string>

#include "printing/queue_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view in(reinterpret_cast<const char*>(data), size);
  valico::QueueFile job, again;
  std::string err;
  if (!valico::DecodeQueueFile(in, &job, &err)) {
    if (err.empty()) __builtin_trap();
    return 0;
  }
  std::string bytes = valico::EncodeQueueFile(job);
  if (!valico::DecodeQueueFile(bytes, &again, &err) || !valico::SameQueueFile(job, again) ||
      valico::EncodeQueueFile(again) != bytes)
    __builtin_trap();
  return 0;
}
