#pragma once

#include <string>

namespace valico {

// The device routines the polling cycle and the intake hand work to. Each device's own code
// implements its part; tests record the calls.
class DeviceHandlers {
 public:
  virtual ~DeviceHandlers() = default;
  virtual void LanciaFileDLY() = 0;                      // customer display file
  virtual void InviaFileMF(const std::string& job) = 0;  // fiscal register job
  virtual void LanciaFileRF() = 0;                       // receipt-form job file
  // Pre-bill job; false when it must be taken again (its documents could not even be kept).
  virtual bool LanciaFileCort(const std::string& job) = 0;
};

}  // namespace valico
