#include "shell/service.h"

#include "platform/service_loop.h"
#include "shell/startup.h"

namespace valico {

Service::Service(Context& ctx)
    : ctx_(ctx),
      devices_(ctx),
      settings_(ctx.ini, ctx.svc.files, ctx.cfg.IniValico),
      cycle_(ctx.svc.files, ctx.svc.log, ctx.svc.watch, settings_, ctx.cfg, devices_),
      jobs_(ctx.svc, ctx.ini, settings_, ctx.cfg) {}

bool Service::Tick() {
  cycle_.Timer1_Timer();
  jobs_.Tick();
  return cycle_.backlog();
}

int RunService(Context& ctx, long max_ticks) {
  StartUp(ctx);
  {
    Service service(ctx);
    // A job that arrives wakes the loop for a pass at once; a pass that stopped at its limit
    // of jobs is followed at once by the next.
    FolderWatch& watch = service.watch();
    RunServiceLoop(
        std::chrono::milliseconds(500), max_ticks, [&] { return service.Tick(); },
        WakeSource{watch.WaitHandle(), [&] { return watch.Poll(); }});
  }
  ShutDown(ctx);
  return 0;
}

}  // namespace valico
