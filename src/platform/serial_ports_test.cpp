#include <gtest/gtest.h>

#include "platform/serial_port.h"
#include "platform/testing/loopback_port.h"
#include "platform/testing/recording_log.h"

namespace valico {
namespace {

using namespace std::chrono_literals;

class SerialPortsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    far_ = testing::LoopbackPort::Create(&why);
    if (!far_) GTEST_SKIP() << "no loopback serial line: " << why;
  }
  std::unique_ptr<SerialPorts> Ports(std::chrono::milliseconds bound = kSerialWriteBound) {
    return MakeNativeSerialPorts({{3, far_->device()}}, log_, bound);
  }

  testing::RecordingLog log_;
  std::unique_ptr<testing::LoopbackPort> far_;
};

TEST_F(SerialPortsTest, EveryByteArrivesUnchangedBothWays) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  all += "line\nfeed\r\ncr\r";  // no LF may become CR LF, no CR may become LF
  auto ports = Ports();
  std::string err;
  auto line = ports->Open(3, SerialSettings{}, 1024, 512, &err);
  ASSERT_TRUE(line) << err;
  EXPECT_TRUE(line->Write(all, &err)) << err;
  EXPECT_EQ(far_->Read(all.size()), all);
  ASSERT_TRUE(far_->Write(all));
  std::string answer;
  EXPECT_TRUE(line->Read(all.size(), 3s, &answer, &err)) << err;
  EXPECT_EQ(answer, all);
  // Nothing more comes: the read ends at its wait with nothing, which is no failure.
  answer.clear();
  EXPECT_TRUE(line->Read(1, 50ms, &answer, &err)) << err;
  EXPECT_EQ(answer, "");
  // Closed and opened again, the port takes the next bytes as well.
  line.reset();
  line = ports->Open(3, SerialSettings{19200, Parity::kNone, 8, StopBits::kTwo}, 1024, 512, &err);
  ASSERT_TRUE(line) << err;
  EXPECT_TRUE(line->Write("\x1b[2;1Hok", &err)) << err;
  EXPECT_EQ(far_->Read(8), "\x1b[2;1Hok");
}

TEST_F(SerialPortsTest, AWriteThatThePortDoesNotTakeFailsWithinTheBound) {
  auto ports = Ports(300ms);
  std::string err;
  auto line = ports->Open(3, SerialSettings{}, 1024, 512, &err);
  ASSERT_TRUE(line) << err;
  // Nobody reads the far end: the line's buffers fill and the write must give up.
  std::string lots(4 << 20, 'x');
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(line->Write(lots, &err));
  auto took = std::chrono::steady_clock::now() - start;
  EXPECT_GE(took, 250ms);
  EXPECT_LT(took, 3s);
  EXPECT_NE(err.find("300 ms"), std::string::npos) << err;
}

TEST_F(SerialPortsTest, PortsThatCannotOpenSayWhy) {
  auto ports = MakeNativeSerialPorts({}, log_, kSerialWriteBound);
  const std::pair<int, const char*> cases[] = {
      {0, "COM0 is not a port number"}, {-2, "COM-2 is not a port number"}, {200, "cannot open"}};
  for (auto [port, reason] : cases) {
    std::string err;
    EXPECT_EQ(ports->Open(port, SerialSettings{}, 1024, 512, &err), nullptr) << port;
    EXPECT_NE(err.find(reason), std::string::npos) << port << ": " << err;
  }
}

}  // namespace
}  // namespace valico
