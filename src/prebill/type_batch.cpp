#include "prebill/type_batch.h"

namespace valico {

void TypeBatchHandOff::WaitForPreviousBatch() {
  if (running_ == 0) return;
  ProcessId pid = running_;
  running_ = 0;
  if (processes_.Wait(pid, std::chrono::milliseconds(0))) return;
  log_.Info("TYPE SU SERIALE: waiting for the batch file of the previous job (process " +
            std::to_string(pid) + ") to end before replacing typeCort.txt");
  if (processes_.Wait(pid, max_wait_)) {
    log_.Info("TYPE SU SERIALE: the previous batch file has ended");
  } else {
    log_.Warn("TYPE SU SERIALE: the batch file of the previous job (process " +
              std::to_string(pid) + ") is still running after " +
              std::to_string(max_wait_.count()) + " ms; typeCort.txt is replaced anyway");
  }
}

void TypeBatchHandOff::StampaCortType(const std::string& job) {
  WaitForPreviousBatch();
  std::string err;
  if (!files_.Copy(job, kTypeCortFile, &err)) {
    log_.Warn("TYPE SU SERIALE: cannot copy pre-bill job " + files_.Native(job) + " to " +
              kTypeCortFile + ": " + err + "; the batch file is not started");
  } else {
    running_ = processes_.Start(kValicoTypeBatch, WindowState::kMinimizedNoFocus, &err);
    if (running_ == 0) {
      log_.Warn(std::string("TYPE SU SERIALE: cannot start ") + kValicoTypeBatch + ": " + err);
    }
  }
  if (!files_.Remove(job, &err)) {
    log_.Debug("TYPE SU SERIALE: cannot delete pre-bill job " + files_.Native(job) + ": " + err);
  }
}

}  // namespace valico
