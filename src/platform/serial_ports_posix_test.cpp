#include <gtest/gtest.h>

#include "platform/serial_port.h"
#include "platform/testing/loopback_port.h"
#include "platform/testing/recording_log.h"
#include "platform/testing/temp_folder.h"

namespace valico {
namespace {

TEST(SerialPortsPosixTest, DevicesAndSettingsThatCannotBeUsedSayWhy) {
  testing::TempFolder folder;
  folder.Write("plain-file", "");
  std::string why;
  auto far = testing::LoopbackPort::Create(&why);
  ASSERT_TRUE(far) << why;
  testing::RecordingLog log;
  auto ports = MakeNativeSerialPorts(
      {{1, folder / "missing"}, {2, folder / "plain-file"}, {3, far->device()}}, log,
      kSerialWriteBound);
  struct Case {
    const char* name;
    int port;
    SerialSettings settings;
    std::string reason;
  } cases[] = {
      {"missing device", 1, {}, "cannot open " + folder / "missing"},
      {"not a terminal", 2, {}, folder / "plain-file" + " is not a serial port"},
      {"baud rate termios has no constant for", 3, {12345}, "baud rate 12345 is not supported"},
  };
  for (const Case& c : cases) {
    std::string err;
    EXPECT_EQ(ports->Open(c.port, c.settings, 1024, 512, &err), nullptr) << c.name;
    EXPECT_NE(err.find(c.reason), std::string::npos) << c.name << ": " << err;
  }
  std::string err;
  EXPECT_NE(
      ports->Open(3, SerialSettings{4800, Parity::kMark, 7, StopBits::kOnePointFive}, 0, 0, &err),
      nullptr)
      << "mark parity, 7 bits and 1.5 stop bits are accepted: " << err;
}

}  // namespace
}  // namespace valico
