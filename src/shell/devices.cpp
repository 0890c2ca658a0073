#include "shell/devices.h"

#include "fiscal/invia_file_mf.h"
#include "shell/context.h"

namespace valico {
namespace {

void NotBuilt(Context& ctx, const std::string& what) {
  ctx.svc.log.Warn(what + ": this device is not part of this build; nothing was sent");
}

}  // namespace

// Customer display.
void ValicoDevices::LanciaFileDLY() { display_.LanciaFileDLY(); }

// Fiscal register.
void ValicoDevices::InviaFileMF(const std::string& job) { valico::InviaFileMF(ctx_, job); }

// Receipt forms.
void ValicoDevices::LanciaFileRF() { NotBuilt(ctx_, "receipt " + ctx_.cfg.RF_File); }

// Pre-bills.
void ValicoDevices::LanciaFileCort(const std::string& job) {
  NotBuilt(ctx_, "pre-bill job " + job);
}

}  // namespace valico
