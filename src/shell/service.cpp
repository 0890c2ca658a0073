#include "shell/service.h"

#include "jobs/jobs_runner.h"
#include "platform/service_loop.h"
#include "settings/ini_snapshot.h"
#include "shell/devices.h"
#include "shell/startup.h"
#include "spool/polling_cycle.h"

namespace valico {

int RunService(Context& ctx, long max_ticks) {
  StartUp(ctx);
  ValicoDevices devices(ctx);
  FolderWatch& watch = ctx.svc.watch;
  IniSnapshot settings(ctx.ini, ctx.svc.files, ctx.cfg.IniValico);
  PollingCycle cycle(ctx.svc.files, ctx.svc.log, watch, settings, ctx.cfg, devices);
  JobsRunner jobs(ctx.svc, ctx.ini, settings, ctx.cfg);
  // A job that arrives wakes the loop for a pass at once; a pass that stopped at its limit of
  // jobs is followed at once by the next.
  RunServiceLoop(
      std::chrono::milliseconds(500), max_ticks,
      [&] {
        cycle.Timer1_Timer();
        jobs.Tick();
        return cycle.backlog();
      },
      WakeSource{watch.WaitHandle(), [&] { return watch.Poll(); }});
  // A transfer in progress gets its time-out to end before the exit cuts it short.
  jobs.Stop(ctx.svc.ftp.timeout());
  ShutDown(ctx);
  return 0;
}

}  // namespace valico
