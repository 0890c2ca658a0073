#pragma once

#include "core/context.h"
#include "display/customer_display.h"
#include "fiscal/invia_file_mf.h"
#include "prebill/prebill_dispatch.h"
#include "receipt/receipt_forms.h"
#include "spool/device_handlers.h"

namespace valico {

// The device routines of a running Valico, as the polling cycle reaches them: each device is
// built once from the parts of the context it uses.
class ValicoDevices : public DeviceHandlers {
 public:
  explicit ValicoDevices(Context& ctx);

  void LanciaFileDLY() override;
  void InviaFileMF(const std::string& job) override;
  void LanciaFileRF() override;
  void LanciaFileCort(const std::string& job) override;

 private:
  const Config& cfg_;
  DiagLog& log_;
  CustomerDisplay display_;
  FiscalHandOff fiscal_;
  InstalledPrinterPrebill prebill_renderer_;
  SerialPrebill serial_prebill_;
  TypeBatchHandOff type_batch_;  // the pre-bill batch file started for the previous job
  ReceiptForms receipt_;
};

}  // namespace valico
