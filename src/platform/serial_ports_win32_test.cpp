#include <gtest/gtest.h>

#include "platform/serial_port.h"
#include "platform/testing/recording_log.h"

namespace valico {
namespace {

TEST(SerialPortsWin32Test, ADeviceThatIsNoSerialPortSaysWhy) {
  testing::RecordingLog log;
  auto ports = MakeNativeSerialPorts({{1, "NUL"}}, log, kSerialWriteBound);
  std::string err;
  EXPECT_EQ(ports->Open(1, SerialSettings{}, 1024, 512, &err), nullptr);
  EXPECT_NE(err.find("\\\\.\\NUL"), std::string::npos) << err;
}

}  // namespace
}  // namespace valico
