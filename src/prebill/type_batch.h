#pragma once

#include <chrono>
#include <string>

#include "platform/diag_log.h"
#include "platform/files.h"
#include "platform/processes.h"

namespace valico {

inline constexpr const char* kTypeCortFile = "C:\\Valico\\TypeBatch\\typeCort.txt";
inline constexpr const char* kValicoTypeBatch = "C:\\Valico\\TypeBatch\\ValicoType.bat";

// "TYPE SU SERIALE": hands each job to the installation's batch file through a fixed file.
// Remembers the batch started for the previous job, so that the next job does not replace
// the file while that batch may still be sending it.
class TypeBatchHandOff {
 public:
  TypeBatchHandOff(const Files& files, Processes& processes, DiagLog& log,
                   std::chrono::milliseconds max_wait = std::chrono::seconds(30))
      : files_(files), processes_(processes), log_(log), max_wait_(max_wait) {}

  // Waits (at most max_wait) for the previous job's batch to end, copies the job over
  // typeCort.txt, starts ValicoType.bat minimised without focus, and deletes the job. When
  // the copy fails the batch is not started, as it would print the previous job again.
  // Reports nothing; the diagnostic log says what was skipped and why.
  void StampaCortType(const std::string& job);

 private:
  void WaitForPreviousBatch();

  const Files& files_;
  Processes& processes_;
  DiagLog& log_;
  std::chrono::milliseconds max_wait_;
  ProcessId running_ = 0;  // the batch started for the previous job; 0 when none
};

}  // namespace valico
