#include "shell/print_status_window.h"

#include "shell/print_status.h"
#include "shell/reprint.h"

namespace valico {

std::string ServingStatusText(Context& ctx, ServiceTicks* ticks) {
  if (ticks) ticks->FlushStatus();
  return PrintStatusReport(ctx, true);
}

std::string ReprintAllFromWindow(Context& ctx, ServiceTicks* ticks) {
  ReprintRequest all;
  all.all = true;
  ReprintOutcome r =
      ReprintUnprinted(ctx.print_queue.unprinted(), ctx.print_queue, ctx.printers, all);
  std::string done = r.lines.empty() ? "NonStampati non contiene documenti\n" : r.Text();
  return done + "\n" + ServingStatusText(ctx, ticks);
}

}  // namespace valico
