// Placeholders for the platform services whose backends are not built yet: every call fails
// with a clear reason, so the devices that need them stay quiet and say why in the log.
#include "platform/ftp_client.h"
#include "platform/processes.h"
#include "platform/serial_port.h"

namespace valico {
namespace {

constexpr const char* kWhy = "not available in this build";

class NoProcesses : public Processes {
 public:
  ProcessId Start(const std::string&, WindowState, std::string* err) override {
    if (err) *err = kWhy;
    return 0;
  }
  bool Wait(ProcessId, std::chrono::milliseconds) override { return true; }
};

class NoSerialPorts : public SerialPorts {
 public:
  std::unique_ptr<SerialLine> Open(int, const SerialSettings&, std::size_t, std::size_t,
                                   std::string* err) override {
    if (err) *err = kWhy;
    return nullptr;
  }
};

class NoFtp : public FtpClient {
 public:
  bool DeleteFile(const FtpAccount&, const std::string&, std::string* err) override {
    if (err) *err = kWhy;
    return false;
  }
  bool PutFile(const FtpAccount&, const std::string&, const std::string&,
               std::string* err) override {
    if (err) *err = kWhy;
    return false;
  }
  bool GetFile(const FtpAccount&, const std::string&, const std::string&,
               std::string* err) override {
    if (err) *err = kWhy;
    return false;
  }
};

}  // namespace

std::unique_ptr<Processes> MakeProcesses(DiagLog&, const std::string&) {
  return std::make_unique<NoProcesses>();
}
std::unique_ptr<SerialPorts> MakeSerialPorts(const std::map<int, std::string>&, DiagLog&) {
  return std::make_unique<NoSerialPorts>();
}
std::unique_ptr<FtpClient> MakeFtpClient(DiagLog&, std::chrono::seconds) {
  return std::make_unique<NoFtp>();
}

}  // namespace valico
