#pragma once

#include "core/context.h"
#include "jobs/jobs_runner.h"
#include "platform/service_loop.h"
#include "settings/ini_snapshot.h"
#include "shell/devices.h"
#include "shell/status_file.h"
#include "spool/polling_cycle.h"

namespace valico {

// The device work of a running Valico once its start-up has run: the polling cycle and the
// jobs, one pass per Tick. The headless loop and the window's timer both drive it.
class ServiceTicks {
 public:
  explicit ServiceTicks(Context& ctx);
  ServiceTicks(const ServiceTicks&) = delete;
  ServiceTicks& operator=(const ServiceTicks&) = delete;

  // One pass; true when it left jobs that the next pass could take at once.
  bool Tick();
  // What wakes a pass between the ticks: the folder watch's notices.
  WakeSource Wake();
  // Gives a transfer in progress its time-out to end; call before the exit sequence.
  void Stop();
  // Writes the status file now if anything changed since it was last written: before the
  // status is shown in the window, and after the exit sequence.
  void FlushStatus() { status_.Flush(); }

 private:
  Context& ctx_;
  StatusFileWriter status_;
  ValicoDevices devices_;
  IniSnapshot settings_;
  PollingCycle cycle_;
  JobsRunner jobs_;
  // A wake has just read the watch's notices and starts a tick: the tick need not read them
  // again (notices that came meanwhile keep the loop's wait ready, and wake it again).
  bool notices_read_ = false;
};

// The headless service: the start-up sequence, then a tick every 500 ms until the process is
// asked to stop (or `max_ticks` ticks have run, when above 0), then the exit sequence.
int RunService(Context& ctx, long max_ticks);

}  // namespace valico
