#pragma once

#include "core/context.h"
#include "display/customer_display.h"
#include "fiscal/invia_file_mf.h"
#include "prebill/prebill_dispatch.h"
#include "receipt/receipt_forms.h"
#include "shell/status_file.h"
#include "spool/device_handlers.h"

namespace valico {

// The device routines of a running Valico, as the polling cycle reaches them: each device is
// built once from the parts of the context it uses. Each job handed to a routine is recorded
// in `status` (when given) as what that device last did.
class ValicoDevices : public DeviceHandlers {
 public:
  explicit ValicoDevices(Context& ctx, StatusFileWriter* status = nullptr);

  void LanciaFileDLY() override;
  void InviaFileMF(const std::string& job) override;
  void LanciaFileRF() override;
  bool LanciaFileCort(const std::string& job) override;
  void EndOfPrebillPass() override { serial_prebill_.EndOfPass(); }

 private:
  void Record(StatusDevice device, std::string what);

  const Config& cfg_;
  const Files& files_;
  StatusFileWriter* status_;
  CustomerDisplay display_;
  FiscalHandOff fiscal_;
  InstalledPrinterPrebill prebill_renderer_;
  SerialPrebill serial_prebill_;
  TypeBatchHandOff type_batch_;  // the pre-bill batch file started for the previous job
  PrebillDispatch prebill_;
  ReceiptForms receipt_;
};

}  // namespace valico
