#pragma once

#include "core/context.h"
#include "jobs/jobs_runner.h"
#include "settings/ini_snapshot.h"
#include "shell/devices.h"
#include "spool/polling_cycle.h"

namespace valico {

// One running service over a context: built after the start-up sequence, it runs the passes
// of the tick (the polling cycle, then the scheduler and FTP requests) for whichever loop
// drives it, the headless loop or a window's timer. Main thread only.
class Service {
 public:
  explicit Service(Context& ctx);
  // A transfer in progress gets its time-out to end before the exit cuts it short.
  ~Service() { jobs_.Stop(ctx_.svc.ftp.timeout()); }
  Service(const Service&) = delete;
  Service& operator=(const Service&) = delete;

  // One pass. True when work is left that the next pass could take at once.
  bool Tick();
  FolderWatch& watch() { return ctx_.svc.watch; }

 private:
  Context& ctx_;
  ValicoDevices devices_;
  IniSnapshot settings_;
  PollingCycle cycle_;
  JobsRunner jobs_;
};

// The headless service: the start-up sequence, then a tick every 500 ms until the process is
// asked to stop (or `max_ticks` ticks have run, when above 0), then the exit sequence.
int RunService(Context& ctx, long max_ticks);

}  // namespace valico
