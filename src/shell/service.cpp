#include "shell/service.h"

#include "platform/service_loop.h"
#include "shell/context.h"
#include "shell/devices.h"
#include "shell/startup.h"
#include "spool/polling_cycle.h"

namespace valico {

int RunService(Context& ctx, long max_ticks) {
  StartUp(ctx);
  ValicoDevices devices(ctx);
  PollingCycle cycle(ctx, devices);
  RunServiceLoop(std::chrono::milliseconds(500), max_ticks, [&] { cycle.Timer1_Timer(); });
  ShutDown(ctx);
  return 0;
}

}  // namespace valico
