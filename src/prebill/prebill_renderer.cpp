#include "prebill/prebill_renderer.h"

#include "core/context.h"

namespace valico {
namespace {

void NotPrinted(Context& ctx, const char* model, const std::string& job) {
  ctx.svc.log.Warn(std::string("pre-bill model \"") + model + "\": printing on an installed " +
                   "printer is not part of this build; job " + job + " was not printed");
}

}  // namespace

void UnavailablePrebillRenderer::StampaCortOlivetti(Context& ctx, const std::string& job) {
  NotPrinted(ctx, "OLIVETTI PRT100 NonFiscale", job);
}

void UnavailablePrebillRenderer::StampaCortSamsung(Context& ctx, const std::string& job) {
  NotPrinted(ctx, "SAMSUNG", job);
}

void UnavailablePrebillRenderer::StampaCortSolipos(Context& ctx, const std::string& job) {
  NotPrinted(ctx, "SOLIPOS CALDERA", job);
}

}  // namespace valico
