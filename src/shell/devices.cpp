#include "shell/devices.h"

namespace valico {

ValicoDevices::ValicoDevices(Context& ctx)
    : cfg_(ctx.cfg),
      log_(ctx.svc.log),
      display_(ctx.cfg, ctx.svc.files, ctx.svc.clock, ctx.svc.watch, ctx.svc.log, ctx.mscomm1),
      fiscal_(ctx.cfg, ctx.svc.files, ctx.svc.clock, ctx.svc.log, ctx.svc.processes),
      prebill_renderer_(ctx.cfg, ctx.svc.regional, ctx.svc.files, ctx.printers, ctx.svc.dialogs,
                        ctx.svc.log),
      serial_prebill_(ctx.cfg, ctx.svc.regional, ctx.com_preconto, ctx.svc.files, ctx.svc.log,
                      ctx.svc.dialogs),
      type_batch_(ctx.svc.files, ctx.svc.processes, ctx.svc.log),
      receipt_(ctx.cfg, ctx.svc.files, ctx.svc.clock, ctx.svc.watch, ctx.svc.log, ctx.printers) {}

// Customer display.
void ValicoDevices::LanciaFileDLY() { display_.LanciaFileDLY(); }

// Fiscal register.
void ValicoDevices::InviaFileMF(const std::string& job) { fiscal_.InviaFileMF(job); }

// Receipt forms.
void ValicoDevices::LanciaFileRF() { receipt_.LanciaFileRF(); }

// Pre-bills.
void ValicoDevices::LanciaFileCort(const std::string& job) {
  valico::LanciaFileCort(cfg_, log_, {prebill_renderer_, serial_prebill_, type_batch_}, job);
}

}  // namespace valico
