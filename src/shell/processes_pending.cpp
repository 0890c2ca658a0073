// Placeholder until this platform service has its backends: every call fails with a clear
// reason, so the devices that need it stay quiet and say why in the log.
#include "platform/processes.h"

namespace valico {
namespace {

class NoProcesses : public Processes {
 public:
  ProcessId Start(const std::string&, WindowState, std::string* err) override {
    if (err) *err = "starting programs is not available in this build";
    return 0;
  }
  bool Wait(ProcessId, std::chrono::milliseconds) override { return true; }
};

}  // namespace

std::unique_ptr<Processes> MakeProcesses(DiagLog&, const std::string&) {
  return std::make_unique<NoProcesses>();
}

}  // namespace valico
