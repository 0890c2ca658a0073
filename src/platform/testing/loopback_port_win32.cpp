#include <windows.h>

#include <cstdlib>
#include <string>

#include "platform/testing/loopback_port.h"

namespace valico::testing {
namespace {

class ComPairLoopback : public LoopbackPort {
 public:
  ComPairLoopback(HANDLE reader, std::string device) : reader_(reader), device_(device) {}
  ~ComPairLoopback() override { ::CloseHandle(reader_); }

  const std::string& device() const override { return device_; }

  std::string Read(std::size_t want, std::chrono::milliseconds limit) override {
    using Clock = std::chrono::steady_clock;
    std::string got;
    auto deadline = Clock::now() + limit;
    bool quiet_phase = false;
    for (;;) {
      if (got.size() >= want && !quiet_phase) {
        quiet_phase = true;
        deadline = Clock::now() + std::chrono::milliseconds(100);
      }
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      if (left.count() <= 0) return got;
      // Wait up to `left` for the first byte, then take what is there.
      COMMTIMEOUTS t{};
      t.ReadIntervalTimeout = MAXDWORD;
      t.ReadTotalTimeoutMultiplier = MAXDWORD;
      t.ReadTotalTimeoutConstant = static_cast<DWORD>(left.count());
      ::SetCommTimeouts(reader_, &t);
      char buf[4096];
      DWORD n = 0;
      if (!::ReadFile(reader_, buf, sizeof buf, &n, nullptr)) return got;
      got.append(buf, n);
    }
  }

  // Takes what an earlier test left on the line.
  void Drain() {
    while (!Read(SIZE_MAX, std::chrono::milliseconds(150)).empty()) {
    }
  }

 private:
  HANDLE reader_;
  std::string device_;
};

}  // namespace

std::unique_ptr<LoopbackPort> LoopbackPort::Create(std::string* why_not) {
  const char* pair = std::getenv("VALICO_TEST_COM_PAIR");
  std::string p = pair ? pair : "";
  auto colon = p.find(':');
  if (colon == std::string::npos) {
    if (why_not) *why_not = "VALICO_TEST_COM_PAIR does not name two linked ports (\"5:6\")";
    return nullptr;
  }
  std::string reader_name = "\\\\.\\COM" + p.substr(colon + 1);
  HANDLE h = ::CreateFileA(reader_name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                           OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    if (why_not) *why_not = "cannot open " + reader_name;
    return nullptr;
  }
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  ::GetCommState(h, &dcb);
  dcb.BaudRate = 9600;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.fBinary = TRUE;
  dcb.fOutxCtsFlow = dcb.fOutxDsrFlow = dcb.fOutX = dcb.fInX = FALSE;
  ::SetCommState(h, &dcb);
  auto port = std::make_unique<ComPairLoopback>(h, "COM" + p.substr(0, colon));
  port->Drain();
  return port;
}

}  // namespace valico::testing
