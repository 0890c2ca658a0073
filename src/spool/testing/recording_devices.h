#pragma once

#include <functional>
#include <string>
#include <vector>

#include "spool/device_handlers.h"

namespace valico::testing {

// Records the device calls of the polling cycle in order, as "DLY", "MF <job>", "RF",
// "CR <job>"; an optional hook runs inside each job hand-off.
class RecordingDevices : public DeviceHandlers {
 public:
  void LanciaFileDLY() override { calls.push_back("DLY"); }
  void InviaFileMF(const std::string& job) override { Job("MF", job); }
  void LanciaFileRF() override { calls.push_back("RF"); }
  bool LanciaFileCort(const std::string& job) override {
    Job("CR", job);
    return cort_taken;
  }

  std::vector<std::string> calls;
  std::function<void(const std::string&)> on_job;
  void EndOfPrebillPass() override { ++prebill_passes_ended; }
  bool cort_taken = true;  // what LanciaFileCort answers
  int prebill_passes_ended = 0;

 private:
  void Job(const char* kind, const std::string& job) {
    calls.push_back(std::string(kind) + " " + job);
    if (on_job) on_job(job);
  }
};

}  // namespace valico::testing
