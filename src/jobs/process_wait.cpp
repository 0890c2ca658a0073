#include "jobs/process_wait.h"

#include "core/context.h"

namespace valico {

std::string QuotedWhenBlank(const std::string& path) {
  if (path.find(' ') == std::string::npos) return path;
  return "\"" + path + "\"";
}

void LanciaEAttendi(Context& ctx, const std::string& percorso, WindowState stato,
                    std::stop_token stop) {
  std::string err;
  ProcessId pid = ctx.svc.processes.Start(QuotedWhenBlank(percorso), stato, &err);
  if (pid == 0) {
    ctx.svc.log.Warn("could not start " + percorso + ": " + err);
    return;
  }
  AttendiProcesso(ctx, pid, stop);
}

void AttendiProcesso(Context& ctx, ProcessId pid, std::stop_token stop) {
  if (!stop.stop_possible()) {
    ctx.svc.processes.Wait(pid, std::chrono::milliseconds(-1));
    return;
  }
  // Waits in short slices so that a shutdown is noticed while a batch file hangs.
  while (!ctx.svc.processes.Wait(pid, std::chrono::milliseconds(200))) {
    if (stop.stop_requested()) {
      ctx.svc.log.Warn("stopped waiting for process " + std::to_string(pid) +
                       ": Valico is shutting down");
      return;
    }
  }
}

}  // namespace valico
