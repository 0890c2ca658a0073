// libFuzzer target for what the scheduler and the FTP transfer read from outside: a scheduler
// slot value splits into a code and a tag made of its own bytes (no "#"), capitals keep the
// length, and an FTP_Indirizzo gives a host and a port from 1 to 65535 or a clear error.
#include <cstddef>
#include <cstdint>
#include <string>

#include "jobs/scheduler.h"
#include "platform/ftp_client.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string in(reinterpret_cast<const char*>(data), size);

  valico::SlotFields f = valico::SplitSlotValue(in);
  if (f.code.find('#') != std::string::npos || f.tag.find('#') != std::string::npos)
    __builtin_trap();
  if (f.code.size() + f.tag.size() > size) __builtin_trap();
  if (valico::UpperCp1252(in).size() != size) __builtin_trap();

  std::string host, err;
  int port = 0;
  if (valico::ParseFtpServer(in, &host, &port, &err)) {
    if (host.empty() || port < 1 || port > 65535) __builtin_trap();
  } else if (err.empty()) {
    __builtin_trap();
  }
  return 0;
}
