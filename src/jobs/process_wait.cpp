#include "jobs/process_wait.h"

namespace valico {

std::string QuotedWhenBlank(const std::string& path) {
  if (path.find(' ') == std::string::npos) return path;
  return "\"" + path + "\"";
}

void LanciaEAttendi(Processes& processes, DiagLog& log, const std::string& percorso,
                    WindowState stato, std::stop_token stop) {
  std::string err;
  ProcessId pid = processes.Start(QuotedWhenBlank(percorso), stato, &err);
  if (pid == 0) {
    log.Warn("could not start " + percorso + ": " + err);
    return;
  }
  AttendiProcesso(processes, log, pid, stop);
}

void AttendiProcesso(Processes& processes, DiagLog& log, ProcessId pid, std::stop_token stop) {
  if (!stop.stop_possible()) {
    processes.Wait(pid, std::chrono::milliseconds(-1));
    return;
  }
  // Waits in short slices so that a shutdown is noticed while a batch file hangs.
  while (!processes.Wait(pid, std::chrono::milliseconds(200))) {
    if (stop.stop_requested()) {
      log.Warn("stopped waiting for process " + std::to_string(pid) + ": Valico is shutting down");
      return;
    }
  }
}

}  // namespace valico
