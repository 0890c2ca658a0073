#pragma once

#include <memory>

#include "display/customer_display.h"
#include "prebill/prebill_renderer.h"
#include "prebill/type_batch.h"
#include "spool/device_handlers.h"

namespace valico {

class Context;

// The device routines of a running Valico, as the polling cycle reaches them.
class ValicoDevices : public DeviceHandlers {
 public:
  explicit ValicoDevices(Context& ctx)
      : ctx_(ctx),
        display_(ctx),
        prebill_renderer_(std::make_unique<UnavailablePrebillRenderer>()) {}

  void LanciaFileDLY() override;
  void InviaFileMF(const std::string& job) override;
  void LanciaFileRF() override;
  void LanciaFileCort(const std::string& job) override;

 private:
  Context& ctx_;
  CustomerDisplay display_;
  std::unique_ptr<PrebillRenderer> prebill_renderer_;
  TypeBatchHandOff type_batch_;  // the pre-bill batch file started for the previous job
  bool receipt_reported_ = false;  // the receipt job file stays, so say so only once
};

}  // namespace valico
