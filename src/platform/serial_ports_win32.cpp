// Serial ports on Windows: \\.\COMn opened exclusively, set up through a DCB, with a write
// timeout so that a port whose far end stopped taking bytes cannot hold a tick for ever, and
// reads that wait no longer than asked.
#include <windows.h>

#include <algorithm>

#include "platform/diag_log.h"
#include "platform/serial_port.h"
#include "platform/system_error_win32.h"
#include "platform/unique_handle_win32.h"

namespace valico {
namespace {

bool Fail(std::string* err, const std::string& why) {
  if (err) *err = why;
  return false;
}

// "what: reason", without the full stop the system's sentence ends with.
std::string LastError(const std::string& what) {
  std::string text = SystemErrorText(::GetLastError());
  if (!text.empty() && text.back() == '.') text.pop_back();
  return what + ": " + text;
}

bool FillDcb(const SerialSettings& s, DCB* dcb, std::string* err) {
  if (s.baud <= 0) return Fail(err, "baud rate " + std::to_string(s.baud) + " is not supported");
  dcb->BaudRate = static_cast<DWORD>(s.baud);
  dcb->fBinary = TRUE;
  switch (s.parity) {
    case Parity::kNone:
      dcb->Parity = NOPARITY;
      break;
    case Parity::kEven:
      dcb->Parity = EVENPARITY;
      break;
    case Parity::kOdd:
      dcb->Parity = ODDPARITY;
      break;
    case Parity::kMark:
      dcb->Parity = MARKPARITY;
      break;
    case Parity::kSpace:
      dcb->Parity = SPACEPARITY;
      break;
    default:
      return Fail(err, "parity setting is not supported");
  }
  dcb->fParity = s.parity != Parity::kNone;
  switch (s.data_bits) {
    case 5:
    case 6:
    case 7:
    case 8:
      dcb->ByteSize = static_cast<BYTE>(s.data_bits);
      break;
    default:
      return Fail(err, "data bits " + std::to_string(s.data_bits) + " are not supported");
  }
  switch (s.stop_bits) {
    case StopBits::kOne:
      dcb->StopBits = ONESTOPBIT;
      break;
    case StopBits::kOnePointFive:
      dcb->StopBits = ONE5STOPBITS;
      break;
    case StopBits::kTwo:
      dcb->StopBits = TWOSTOPBITS;
      break;
    default:
      return Fail(err, "stop bits setting is not supported");
  }
  // No handshake of any kind: the devices on these ports have no handshake lines wired.
  dcb->fOutxCtsFlow = FALSE;
  dcb->fOutxDsrFlow = FALSE;
  dcb->fDsrSensitivity = FALSE;
  dcb->fDtrControl = DTR_CONTROL_ENABLE;
  dcb->fRtsControl = RTS_CONTROL_ENABLE;
  dcb->fOutX = FALSE;
  dcb->fInX = FALSE;
  dcb->fErrorChar = FALSE;
  dcb->fNull = FALSE;
  dcb->fAbortOnError = FALSE;
  return true;
}

class Win32SerialLine : public SerialLine {
 public:
  Win32SerialLine(HANDLE h, std::string device, std::chrono::milliseconds bound)
      : h_(h), device_(std::move(device)), bound_(bound) {}

  // The port's write timeout (COMMTIMEOUTS) ends a write that the port does not take in
  // time; it then reports fewer bytes written, and the rest is not tried again.
  bool Write(std::string_view bytes, std::string* err) override {
    std::size_t done = 0;
    while (done < bytes.size()) {
      DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 16));
      DWORD written = 0;
      if (!::WriteFile(h_.get(), bytes.data() + done, chunk, &written, nullptr))
        return Fail(err, LastError("write to " + device_));
      done += written;
      if (written < chunk)
        return Fail(err, device_ + " took " + std::to_string(done) + " of " +
                             std::to_string(bytes.size()) + " bytes in " +
                             std::to_string(bound_.count()) + " ms");
    }
    return true;
  }

  // Reads return at once with what has arrived (COMMTIMEOUTS below): the wait is a look at
  // the input queue every 10 ms.
  bool Read(std::size_t want, std::chrono::milliseconds wait, std::string* out,
            std::string* err) override {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + wait;
    std::size_t got = 0;
    while (got < want) {
      COMSTAT status{};
      DWORD errors = 0;
      if (!::ClearCommError(h_.get(), &errors, &status))
        return Fail(err, LastError("read from " + device_));
      if (status.cbInQue == 0) {
        if (Clock::now() >= deadline) return true;
        ::Sleep(10);
        continue;
      }
      char buf[512];
      DWORD take =
          static_cast<DWORD>(std::min<std::size_t>({want - got, status.cbInQue, sizeof buf}));
      DWORD n = 0;
      if (!::ReadFile(h_.get(), buf, take, &n, nullptr))
        return Fail(err, LastError("read from " + device_));
      out->append(buf, n);
      got += n;
    }
    return true;
  }

 private:
  UniqueHandle h_;
  std::string device_;
  std::chrono::milliseconds bound_;
};

class Win32SerialPorts : public SerialPorts {
 public:
  Win32SerialPorts(std::map<int, std::string> devices, std::chrono::milliseconds bound)
      : devices_(std::move(devices)), bound_(bound) {}

  std::unique_ptr<SerialLine> Open(int port, const SerialSettings& settings,
                                   std::size_t input_buffer, std::size_t output_buffer,
                                   std::string* err) override {
    if (port < 1) {
      Fail(err, "COM" + std::to_string(port) + " is not a port number");
      return nullptr;
    }
    auto it = devices_.find(port);
    std::string device = it != devices_.end() ? it->second : "COM" + std::to_string(port);
    // The device namespace reaches COM10 and above, which the plain names do not.
    if (device.rfind("\\\\", 0) != 0) device = "\\\\.\\" + device;
    HANDLE h = ::CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      Fail(err, LastError("cannot open " + device));
      return nullptr;
    }
    std::string why;
    if (Setup(h, settings, input_buffer, output_buffer, &why))
      return std::make_unique<Win32SerialLine>(h, device, bound_);
    ::CloseHandle(h);
    Fail(err, device + ": " + why);
    return nullptr;
  }

 private:
  bool Setup(HANDLE h, const SerialSettings& settings, std::size_t in, std::size_t out,
             std::string* err) const {
    // Buffer sizes are a recommendation the driver may ignore; a refusal is not fatal.
    ::SetupComm(h, static_cast<DWORD>(in), static_cast<DWORD>(out));
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(h, &dcb)) return Fail(err, LastError("cannot read the line settings"));
    if (!FillDcb(settings, &dcb, err)) return false;
    if (!::SetCommState(h, &dcb)) return Fail(err, LastError("cannot apply the line settings"));
    COMMTIMEOUTS t{};
    t.ReadIntervalTimeout = MAXDWORD;  // reads return at once with what has arrived
    t.WriteTotalTimeoutMultiplier = 0;
    t.WriteTotalTimeoutConstant = static_cast<DWORD>(bound_.count());
    if (!::SetCommTimeouts(h, &t)) return Fail(err, LastError("cannot set the write timeout"));
    return true;
  }

  std::map<int, std::string> devices_;
  std::chrono::milliseconds bound_;
};

}  // namespace

std::unique_ptr<SerialPorts> MakeNativeSerialPorts(const std::map<int, std::string>& devices,
                                                   DiagLog&, std::chrono::milliseconds bound) {
  return std::make_unique<Win32SerialPorts>(devices, bound);
}

}  // namespace valico
