// Placeholder until this platform service has its backends: every call fails with a clear
// reason, so the devices that need it stay quiet and say why in the log.
#include "platform/ftp_client.h"

namespace valico {
namespace {

constexpr const char* kWhy = "FTP is not available in this build";

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

std::unique_ptr<FtpClient> MakeFtpClient(DiagLog&, std::chrono::seconds) {
  return std::make_unique<NoFtp>();
}

}  // namespace valico
