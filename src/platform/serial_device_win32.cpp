#include <windows.h>

#include "platform/serial_device.h"
#include "platform/system_error_win32.h"

namespace valico {

std::string SerialDeviceOf(int port, const std::map<int, std::string>& devices) {
  auto it = devices.find(port);
  return it != devices.end() ? it->second : "COM" + std::to_string(port);
}

bool ProbeSerialDevice(const std::string& device, std::string* why) {
  // The device namespace reaches COM10 and above, which the plain names do not.
  std::string path = device.rfind("\\\\", 0) == 0 ? device : "\\\\.\\" + device;
  HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                           nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    ::CloseHandle(h);
    return true;
  }
  DWORD code = ::GetLastError();
  // A port opens for one program at a time, and Windows does not say which one has it.
  *why = code == ERROR_ACCESS_DENIED || code == ERROR_SHARING_VIOLATION
             ? device + " is held by another program (Windows does not tell which)"
             : device + ": " + SystemErrorText(code);
  return false;
}

}  // namespace valico
