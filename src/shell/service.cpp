#include "shell/service.h"

#include <utility>

#include "shell/startup.h"

namespace valico {

ServiceTicks::ServiceTicks(Context& ctx)
    : ctx_(ctx),
      status_(ctx.svc.files.Native(ctx.program_folder()), ctx.print_queue, ctx.svc.clock,
              ctx.svc.log),
      devices_(ctx, &status_),
      settings_(ctx.ini, ctx.svc.files, ctx.cfg.IniValico),
      cycle_(ctx.svc.files, ctx.svc.log, ctx.svc.watch, settings_, ctx.cfg, devices_),
      jobs_(ctx.svc, ctx.ini, settings_, ctx.cfg) {
  ctx.svc.watch.Follow(ctx.print_queue.folder());
  cycle_.FollowSpools();
}

bool ServiceTicks::Tick() {
  // Jobs that other programs (valico reprint, a print test) left in the print queue's folder.
  if (ctx_.svc.watch.TakeChange(ctx_.print_queue.folder())) ctx_.print_queue.AdoptInbox();
  cycle_.Timer1_Timer(std::exchange(notices_read_, false));
  jobs_.Tick();
  status_.Tick();
  return cycle_.backlog();
}

WakeSource ServiceTicks::Wake() {
  FolderWatch& watch = ctx_.svc.watch;
  return WakeSource{watch.WaitHandle(), [this, &watch] { return notices_read_ = watch.Poll(); }};
}

void ServiceTicks::Stop() { jobs_.Stop(ctx_.svc.ftp.timeout()); }

int RunService(Context& ctx, long max_ticks) {
  StartUp(ctx);
  ServiceTicks ticks(ctx);
  // A job that arrives wakes the loop for a pass at once; a pass that stopped at its limit of
  // jobs is followed at once by the next.
  RunServiceLoop(
      std::chrono::milliseconds(500), max_ticks, [&] { return ticks.Tick(); }, ticks.Wake());
  ticks.Stop();
  ShutDown(ctx);
  ticks.FlushStatus();
  return 0;
}

}  // namespace valico
