#include "shell/devices.h"

namespace valico {
namespace {

// The name of a job file, from its path as the system builds it.
std::string NameOf(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

ValicoDevices::ValicoDevices(Context& ctx, StatusFileWriter* status)
    : cfg_(ctx.cfg),
      files_(ctx.svc.files),
      status_(status),
      display_(ctx.cfg, ctx.svc.files, ctx.svc.clock, ctx.svc.watch, ctx.svc.log, ctx.mscomm1),
      fiscal_(ctx.cfg, ctx.svc.files, ctx.svc.clock, ctx.svc.log, ctx.svc.processes),
      prebill_renderer_(ctx.cfg, ctx.svc.regional, ctx.svc.files, ctx.printers, ctx.svc.dialogs,
                        ctx.svc.log),
      serial_prebill_(ctx.cfg, ctx.svc.regional, ctx.com_preconto, ctx.svc.files, ctx.svc.log,
                      ctx.svc.dialogs),
      type_batch_(ctx.svc.files, ctx.svc.processes, ctx.svc.log),
      prebill_(ctx.cfg, ctx.svc.log, prebill_renderer_, serial_prebill_, type_batch_),
      receipt_(ctx.cfg, ctx.svc.files, ctx.svc.clock, ctx.svc.watch, ctx.svc.log, ctx.printers) {
  serial_prebill_.KeepPortOpenDuringPass(true);
}

void ValicoDevices::Record(StatusDevice device, std::string what) {
  if (status_) status_->Record(device, std::move(what));
}

// Customer display. A file the routine leaves (a model it does not know, a file it cannot
// read yet) was not shown.
void ValicoDevices::LanciaFileDLY() {
  display_.LanciaFileDLY();
  if (status_ && !files_.IsFile(cfg_.Display_File))
    Record(StatusDevice::kDisplay, NameOf(cfg_.Display_File) + " inviato al display " +
                                       cfg_.Display_Type + " (COM " + cfg_.Display_COM + ")");
}

// Fiscal register.
void ValicoDevices::InviaFileMF(const std::string& job) {
  fiscal_.InviaFileMF(job);
  Record(StatusDevice::kFiscal, NameOf(job) + " passato al driver " + cfg_.MF_Prot);
}

// Receipt forms. A job file that stays was not (yet) queued whole.
void ValicoDevices::LanciaFileRF() {
  receipt_.LanciaFileRF();
  if (status_ && !files_.IsFile(cfg_.RF_File))
    Record(StatusDevice::kReceipt,
           NameOf(cfg_.RF_File) + " messo in stampa su " + cfg_.RF_Stampante);
}

// Pre-bills.
bool ValicoDevices::LanciaFileCort(const std::string& job) {
  if (!prebill_.LanciaFileCort(job)) return false;
  Record(StatusDevice::kPrebill, NameOf(job) + " passato a " + cfg_.Cort_Printer);
  return true;
}

}  // namespace valico
