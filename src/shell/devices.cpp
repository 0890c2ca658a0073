#include "shell/devices.h"

#include "fiscal/invia_file_mf.h"
#include "prebill/prebill_dispatch.h"
#include "core/context.h"

namespace valico {

// Customer display.
void ValicoDevices::LanciaFileDLY() { display_.LanciaFileDLY(); }

// Fiscal register.
void ValicoDevices::InviaFileMF(const std::string& job) { valico::InviaFileMF(ctx_, job); }

// Receipt forms.
void ValicoDevices::LanciaFileRF() {
  // The receipt job file is left where it is, and every tick finds it again.
  if (receipt_reported_) return;
  receipt_reported_ = true;
  ctx_.svc.log.Warn("receipt " + ctx_.cfg.RF_File +
                    ": receipt-form printing is not part of this build; nothing was printed");
}

// Pre-bills.
void ValicoDevices::LanciaFileCort(const std::string& job) {
  valico::LanciaFileCort(ctx_, *prebill_renderer_, type_batch_, job);
}

}  // namespace valico
