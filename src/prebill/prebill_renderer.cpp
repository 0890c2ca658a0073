#include "prebill/prebill_renderer.h"

#include "settings/config.h"

namespace valico {

void UnavailablePrebillRenderer::NotPrinted(const char* model, const std::string& job) {
  log_.Warn(std::string("pre-bill model \"") + model + "\": printing on an installed " +
            "printer is not part of this build; job " + job + " was not printed");
}

void UnavailablePrebillRenderer::StampaCortOlivetti(const std::string& job) {
  NotPrinted(kCortOlivetti, job);
}

void UnavailablePrebillRenderer::StampaCortSamsung(const std::string& job) {
  NotPrinted(kCortSamsung, job);
}

void UnavailablePrebillRenderer::StampaCortSolipos(const std::string& job) {
  NotPrinted(kCortSolipos, job);
}

}  // namespace valico
