#include "prebill/type_batch.h"

#include "core/context.h"

namespace valico {

void TypeBatchHandOff::WaitForPreviousBatch(Context& ctx) {
  if (running_ == 0) return;
  ProcessId pid = running_;
  running_ = 0;
  if (ctx.svc.processes.Wait(pid, std::chrono::milliseconds(0))) return;
  ctx.svc.log.Info("TYPE SU SERIALE: waiting for the batch file of the previous job (process " +
                   std::to_string(pid) + ") to end before replacing typeCort.txt");
  if (ctx.svc.processes.Wait(pid, max_wait_)) {
    ctx.svc.log.Info("TYPE SU SERIALE: the previous batch file has ended");
  } else {
    ctx.svc.log.Warn("TYPE SU SERIALE: the batch file of the previous job (process " +
                     std::to_string(pid) + ") is still running after " +
                     std::to_string(max_wait_.count()) + " ms; typeCort.txt is replaced anyway");
  }
}

void TypeBatchHandOff::StampaCortType(Context& ctx, const std::string& job) {
  WaitForPreviousBatch(ctx);
  std::string err;
  if (!ctx.svc.files.Copy(job, kTypeCortFile, &err)) {
    ctx.svc.log.Warn("TYPE SU SERIALE: cannot copy pre-bill job " + job + " to " + kTypeCortFile +
                     ": " + err + "; the batch file is not started");
  } else {
    running_ = ctx.svc.processes.Start(kValicoTypeBatch, WindowState::kMinimizedNoFocus, &err);
    if (running_ == 0) {
      ctx.svc.log.Warn(std::string("TYPE SU SERIALE: cannot start ") + kValicoTypeBatch + ": " +
                       err);
    }
  }
  if (!ctx.svc.files.Remove(job, &err)) {
    ctx.svc.log.Debug("TYPE SU SERIALE: cannot delete pre-bill job " + job + ": " + err);
  }
}

}  // namespace valico
