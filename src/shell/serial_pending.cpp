// Placeholder until this platform service has its backends: every call fails with a clear
// reason, so the devices that need it stay quiet and say why in the log.
#include "platform/serial_port.h"

namespace valico {
namespace {

class NoSerialPorts : public SerialPorts {
 public:
  std::unique_ptr<SerialLine> Open(int, const SerialSettings&, std::size_t, std::size_t,
                                   std::string* err) override {
    if (err) *err = "serial ports are not available in this build";
    return nullptr;
  }
};

}  // namespace

std::unique_ptr<SerialPorts> MakeSerialPorts(const std::map<int, std::string>&, DiagLog&) {
  return std::make_unique<NoSerialPorts>();
}

}  // namespace valico
