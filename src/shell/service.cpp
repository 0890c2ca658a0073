#include "shell/service.h"

#include "jobs/jobs_runner.h"
#include "platform/service_loop.h"
#include "shell/devices.h"
#include "shell/startup.h"
#include "spool/polling_cycle.h"

namespace valico {

int RunService(Context& ctx, long max_ticks) {
  StartUp(ctx);
  ValicoDevices devices(ctx);
  PollingCycle cycle(ctx.svc.files, ctx.svc.clock, ctx.svc.log, ctx.ini, ctx.cfg, devices);
  JobsRunner jobs(ctx.svc, ctx.ini, ctx.cfg);
  RunServiceLoop(std::chrono::milliseconds(500), max_ticks, [&] {
    cycle.Timer1_Timer();
    jobs.Tick();
  });
  // A transfer in progress gets its time-out to end before the exit cuts it short.
  jobs.Stop(ctx.svc.ftp.timeout());
  ShutDown(ctx);
  return 0;
}

}  // namespace valico
