#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "platform/diag_log.h"
#include "platform/serial_port.h"

namespace valico {

// The serial-port control of one device (the display's MSComm1, the pre-bill printer's
// COMPreconto): port number and settings are properties that stay set between uses; Open
// applies them. Failures are returned and also written to the diagnostic log, named after
// the control, so an installer can see why a device stayed quiet.
class SerialControl {
 public:
  SerialControl(SerialPorts& ports, DiagLog& log, std::string name)
      : ports_(ports), log_(log), name_(std::move(name)) {}

  void SetPort(int port) { port_ = port; }
  int port() const { return port_; }
  void SetSettings(std::string text) { settings_ = std::move(text); }
  const std::string& settings() const { return settings_; }
  void SetBuffers(std::size_t input, std::size_t output) {
    input_buffer_ = input;
    output_buffer_ = output;
  }
  std::size_t output_buffer() const { return output_buffer_; }

  bool Open(std::string* err = nullptr);
  void Close() { line_.reset(); }
  bool IsOpen() const { return line_ != nullptr; }
  // Fails when the port is not open or the write did not go through in time.
  bool Write(std::string_view bytes, std::string* err = nullptr);

 private:
  SerialPorts& ports_;
  DiagLog& log_;
  std::string name_;
  int port_ = 1;
  std::string settings_ = "9600,N,8,1";
  std::size_t input_buffer_ = 1024;
  std::size_t output_buffer_ = 512;
  std::unique_ptr<SerialLine> line_;
};

}  // namespace valico
