// The serial pre-bill printer on a real serial line: the bytes at the far end of the port.
#include <gtest/gtest.h>

#include "platform/testing/loopback_port.h"
#include "platform/testing/test_platform.h"
#include "prebill/serial_prebill.h"

namespace valico {
namespace {

using testing::LoopbackPort;
using testing::TestPlatform;

const std::string kTail = " \r\n \r\n \r\n \r\n \r\n\x1bm";

class SerialPrebillPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    far = LoopbackPort::Create(&why);
    if (!far) GTEST_SKIP() << "no serial line to test with: " << why;
    ports = MakeNativeSerialPorts({{5, far->device()}, {6, t.folder / "no-such-port"}}, t.log,
                                  kSerialWriteBound);
    port = std::make_unique<SerialControl>(*ports, t.log, "pre-bill port");
    dpt = std::make_unique<SerialPrebill>(cfg, t.regional, *port, t.files, t.log, t.dialogs);
    cfg.Cort_Com = TypedValue::FromInt(5);
    cfg.Cort_Sett = "9600,N,8,1";
  }
  std::string Job(const std::string& bytes) {
    t.folder.Write("CortIN/job.txt", bytes);
    return t.InFolder("CortIN\\job.txt");
  }

  TestPlatform t;
  Config cfg;
  std::unique_ptr<LoopbackPort> far;
  std::unique_ptr<SerialPorts> ports;
  std::unique_ptr<SerialControl> port;
  std::unique_ptr<SerialPrebill> dpt;
};

TEST_F(SerialPrebillPortTest, DptJobsArriveByteForByte) {
  struct {
    const char* name;
    std::string job;
    std::string bytes;
  } cases[] = {
      {"two lines", "N2:01:Tavolo 5\r\nN2:01:Totale 12,00\r\n",
       "Tavolo 5\r\nTotale 12,00\r\n" + kTail},
      {"no N2 lines", "N1:01:Tavolo 5\r\nLF\nalone\r\n", kTail},
      {"code page bytes and LF unchanged", "N2:01:Caff\xE8\nlatte\r\n",
       "Caff\xE8\nlatte\r\n" + kTail},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string job = Job(c.job);
    dpt->StampaCortDPT(job);
    EXPECT_EQ(far->Read(c.bytes.size()), c.bytes);
    EXPECT_FALSE(port->IsOpen());
    EXPECT_FALSE(t.files.Exists(job));
  }
}

// The test print that arrives is in the prebill-test command's test.
TEST_F(SerialPrebillPortTest, TestPrintFailsWithThePlatformsReason) {
  cfg.Cort_Com = TypedValue::FromInt(6);
  EXPECT_FALSE(dpt->Command1_Click());
  bool shown = false;
  for (const std::string& line : t.log.lines())
    shown |= line.rfind("message box: Errore: ", 0) == 0 &&
             line.find("no-such-port") != std::string::npos;
  EXPECT_TRUE(shown) << "the message names the device that could not be opened";
  EXPECT_EQ(far->Read(1, std::chrono::milliseconds(100)), "") << "nothing was sent";
}

}  // namespace
}  // namespace valico
