#include "prebill/prebill_dispatch.h"

namespace valico {

bool PrebillDispatch::LanciaFileCort(const std::string& job) {
  switch (cfg_.cort_model) {
    case CortModel::kOlivetti:
      return renderer_.StampaCortOlivetti(job);
    case CortModel::kSamsung:
      return renderer_.StampaCortSamsung(job);
    case CortModel::kDpt282:
      serial_.StampaCortDPT(job);
      break;
    case CortModel::kSolipos:
      return renderer_.StampaCortSolipos(job);
    case CortModel::kTypeSuSeriale:
      type_batch_.StampaCortType(job);
      break;
    case CortModel::kOther:
      log_.Debug("pre-bill job " + job + " not printed: Cort_Printer \"" + cfg_.Cort_Printer +
                 "\" is no printer model");
      break;
  }
  return true;
}

}  // namespace valico
