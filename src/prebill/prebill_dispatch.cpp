#include "prebill/prebill_dispatch.h"

namespace valico {

bool LanciaFileCort(const Config& cfg, DiagLog& log, const PrebillOutputs& out,
                    const std::string& job) {
  switch (cfg.cort_model) {
    case CortModel::kOlivetti:
      return out.renderer.StampaCortOlivetti(job);
    case CortModel::kSamsung:
      return out.renderer.StampaCortSamsung(job);
    case CortModel::kDpt282:
      out.serial.StampaCortDPT(job);
      break;
    case CortModel::kSolipos:
      return out.renderer.StampaCortSolipos(job);
    case CortModel::kTypeSuSeriale:
      out.type_batch.StampaCortType(job);
      break;
    case CortModel::kOther:
      log.Debug("pre-bill job " + job + " not printed: Cort_Printer \"" + cfg.Cort_Printer +
                "\" is no printer model");
      break;
  }
  return true;
}

}  // namespace valico
