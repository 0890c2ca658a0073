#include <windows.h>

#include <cstdlib>
#include <string>

#include "platform/testing/loopback_port.h"

namespace valico::testing {
namespace {

class ComPairLoopback : public LoopbackPort {
 public:
  ComPairLoopback(HANDLE reader, std::string device)
      : LoopbackPort(std::chrono::milliseconds(100)), reader_(reader), device_(device) {}
  ~ComPairLoopback() override { ::CloseHandle(reader_); }

  const std::string& device() const override { return device_; }

  bool Write(std::string_view bytes) override {
    DWORD n = 0;
    return ::WriteFile(reader_, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr) &&
           n == bytes.size();
  }

  // Asks how much has arrived and takes exactly that: a read that waits for more than is
  // there would sit out its whole timeout.
  std::string Take(std::chrono::milliseconds wait) override {
    auto end = std::chrono::steady_clock::now() + wait;
    COMSTAT status{};
    DWORD errors = 0;
    while (::ClearCommError(reader_, &errors, &status) && status.cbInQue == 0) {
      if (std::chrono::steady_clock::now() >= end) return "";
      ::Sleep(5);
    }
    if (status.cbInQue == 0) return "";
    char buf[4096];
    DWORD n = 0;
    DWORD take = status.cbInQue < sizeof buf ? status.cbInQue : static_cast<DWORD>(sizeof buf);
    return ::ReadFile(reader_, buf, take, &n, nullptr) ? std::string(buf, n) : "";
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
  COMMTIMEOUTS t{};
  t.ReadIntervalTimeout = MAXDWORD;  // a read returns at once with what is there
  ::SetCommTimeouts(h, &t);
  auto port = std::make_unique<ComPairLoopback>(h, "COM" + p.substr(0, colon));
  port->Drain();
  return port;
}

}  // namespace valico::testing
