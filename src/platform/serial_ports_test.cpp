#include <gtest/gtest.h>

#include "platform/serial_port.h"
#include "platform/testing/loopback_port.h"
#include "platform/testing/recording_log.h"
#include "platform/testing/temp_folder.h"

namespace valico {
namespace {

using namespace std::chrono_literals;

class SerialPortsTest : public ::testing::Test {
 protected:
  void SetUp() override { far_ = testing::LoopbackPort::Create(&why_); }
  std::unique_ptr<SerialPorts> Ports(std::chrono::milliseconds bound = kSerialWriteBound) {
    return MakeNativeSerialPorts({{3, far_->device()}}, log_, bound);
  }

  testing::RecordingLog log_;
  std::string why_;  // why there is no loopback line
  std::unique_ptr<testing::LoopbackPort> far_;
};

TEST_F(SerialPortsTest, EveryByteArrivesUnchangedBothWays) {
  if (!far_) GTEST_SKIP() << "no loopback serial line: " << why_;
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
  if (!far_) GTEST_SKIP() << "no loopback serial line: " << why_;
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

// Port numbers, devices and settings that cannot be used: nothing opens, and the error says
// why. (Each backend has devices that are no serial port; termios lacks odd baud rates.)
TEST_F(SerialPortsTest, PortsThatCannotOpenSayWhy) {
  testing::TempFolder folder;
  folder.Write("plain-file", "");
  struct Case {
    int port;
    SerialSettings settings;
    std::string reason;  // empty: the port opens
  };
  std::vector<Case> cases = {{0, {}, "COM0 is not a port number"},
                             {-2, {}, "COM-2 is not a port number"},
                             {200, {}, "cannot open"}};
#ifdef _WIN32
  std::map<int, std::string> devices = {{1, "NUL"}};
  cases.push_back({1, {}, "\\\\.\\NUL"});
#else
  ASSERT_TRUE(far_) << why_;
  std::map<int, std::string> devices = {
      {1, folder / "missing"}, {2, folder / "plain-file"}, {3, far_->device()}};
  cases.insert(cases.end(), {{1, {}, "cannot open " + folder / "missing"},
                             {2, {}, folder / "plain-file" + " is not a serial port"},
                             {3, {12345}, "baud rate 12345 is not supported"},
                             {3, {4800, Parity::kMark, 7, StopBits::kOnePointFive}, ""}});
#endif
  auto ports = MakeNativeSerialPorts(devices, log_, kSerialWriteBound);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    std::string err;
    auto line = ports->Open(c.port, c.settings, 1024, 512, &err);
    EXPECT_EQ(line != nullptr, c.reason.empty()) << err;
    EXPECT_NE(err.find(c.reason), std::string::npos) << err;
  }
}

}  // namespace
}  // namespace valico
