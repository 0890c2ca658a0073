#pragma once

#include "display/customer_display.h"
#include "spool/device_handlers.h"

namespace valico {

class Context;

// The device routines of a running Valico, as the polling cycle reaches them.
class ValicoDevices : public DeviceHandlers {
 public:
  explicit ValicoDevices(Context& ctx) : ctx_(ctx), display_(ctx) {}

  void LanciaFileDLY() override;
  void InviaFileMF(const std::string& job) override;
  void LanciaFileRF() override;
  void LanciaFileCort(const std::string& job) override;

 private:
  Context& ctx_;
  CustomerDisplay display_;
};

}  // namespace valico
