#include "prebill/prebill_dispatch.h"

namespace valico {

void LanciaFileCort(const Config& cfg, DiagLog& log, const PrebillOutputs& out,
                    const std::string& job) {
  switch (cfg.cort_model) {
    case CortModel::kOlivetti:
      out.renderer.StampaCortOlivetti(job);
      break;
    case CortModel::kSamsung:
      out.renderer.StampaCortSamsung(job);
      break;
    case CortModel::kDpt282:
      out.serial.StampaCortDPT(job);
      break;
    case CortModel::kSolipos:
      out.renderer.StampaCortSolipos(job);
      break;
    case CortModel::kTypeSuSeriale:
      out.type_batch.StampaCortType(job);
      break;
    case CortModel::kOther:
      log.Debug("pre-bill job " + job + " not printed: Cort_Printer \"" + cfg.Cort_Printer +
                "\" is no printer model");
      break;
  }
}

}  // namespace valico
