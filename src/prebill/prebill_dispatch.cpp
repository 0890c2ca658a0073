#include "prebill/prebill_dispatch.h"

#include "prebill/prebill_renderer.h"
#include "prebill/serial_prebill.h"
#include "prebill/type_batch.h"
#include "core/context.h"

namespace valico {

void LanciaFileCort(Context& ctx, PrebillRenderer& renderer, TypeBatchHandOff& type_batch,
                    const std::string& job) {
  const std::string& model = ctx.cfg.Cort_Printer;
  if (model == "OLIVETTI PRT100 NonFiscale") {
    renderer.StampaCortOlivetti(ctx, job);
  } else if (model == "SAMSUNG") {
    renderer.StampaCortSamsung(ctx, job);
  } else if (model == "DPT-282") {
    StampaCortDPT(ctx, job);
  } else if (model == "SOLIPOS CALDERA") {
    renderer.StampaCortSolipos(ctx, job);
  } else if (model == "TYPE SU SERIALE") {
    type_batch.StampaCortType(ctx, job);
  } else {
    ctx.svc.log.Debug("pre-bill job " + job + " not printed: Cort_Printer \"" + model +
                      "\" is no printer model");
  }
}

}  // namespace valico
