#pragma once

#include <string>

namespace valico {

// The device routines the polling cycle and the intake hand work to. Each device's own code
// implements its part; tests record the calls.
class DeviceHandlers {
 public:
  virtual ~DeviceHandlers() = default;
  virtual void LanciaFileDLY() = 0;                         // customer display file
  virtual void InviaFileMF(const std::string& job) = 0;     // fiscal register job
  virtual void LanciaFileRF() = 0;                          // receipt-form job file
  virtual void LanciaFileCort(const std::string& job) = 0;  // pre-bill job
};

}  // namespace valico
