// The serial pre-bill printer on a real serial line: the bytes at the far end of the port.
#include <gtest/gtest.h>

#include "platform/testing/loopback_port.h"
#include "core/testing/test_context.h"
#include "prebill/serial_prebill.h"
#include "shell/command_line.h"

namespace valico {
namespace {

using testing::LoopbackPort;
using testing::TestContext;

const std::string kTail = " \r\n \r\n \r\n \r\n \r\n\x1bm";

class SerialPrebillPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    far = LoopbackPort::Create(&why);
    if (!far) GTEST_SKIP() << "no serial line to test with: " << why;
    ports = MakeSerialPorts({{5, far->device()}, {6, t.folder / "no-such-port"}}, t.log);
    ctx = std::make_unique<Context>(Services{t.files, t.clock, t.log, t.dialogs, t.processes,
                                             *ports, t.ftp, RegionalFor("it_IT")},
                                    t.folder.path());
    ctx->cfg.Cort_Printer = "DPT-282";
    ctx->cfg.Cort_Com = TypedValue::FromInt(5);
    ctx->cfg.Cort_Sett = "9600,N,8,1";
  }
  std::string Job(const std::string& bytes) {
    t.folder.Write("CortIN/job.txt", bytes);
    return ctx->InProgramFolder("CortIN\\job.txt");
  }

  TestContext t;
  std::unique_ptr<LoopbackPort> far;
  std::unique_ptr<SerialPorts> ports;
  std::unique_ptr<Context> ctx;
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
    StampaCortDPT(*ctx, job);
    EXPECT_EQ(far->Read(c.bytes.size()), c.bytes);
    EXPECT_FALSE(ctx->com_preconto.IsOpen());
    EXPECT_FALSE(t.files.Exists(job));
  }
}

// The test print that arrives is in PrebillTestCommandPrintsWithTheLoadedSettings.
TEST_F(SerialPrebillPortTest, TestPrintFailsWithThePlatformsReason) {
  ctx->cfg.Cort_Com = TypedValue::FromInt(6);
  EXPECT_FALSE(Command1_Click(*ctx));
  bool shown = false;
  for (const std::string& line : t.log.lines())
    shown |= line.rfind("message box: Errore: ", 0) == 0 &&
             line.find("no-such-port") != std::string::npos;
  EXPECT_TRUE(shown) << "the message names the device that could not be opened";
  EXPECT_EQ(far->Read(1, std::chrono::milliseconds(100)), "") << "nothing was sent";
}

int RunValico(std::vector<std::string> args) {
  args.insert(args.begin(), "valico");
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  return RunCommandLine(static_cast<int>(argv.size()), argv.data());
}

TEST_F(SerialPrebillPortTest, PrebillTestCommandPrintsWithTheLoadedSettings) {
  t.WriteValico("Cort_Printer=DPT-282\r\nCort_COM=5\r\nCort_Sett=4800,E,7,1\r\n");
  t.folder.Write("CortBorea/pending.txt", "N2:01:x\r\n");
  EXPECT_EQ(RunValico({"--home", t.folder.path(), "--com", "5=" + far->device(), "prebill-test"}),
            0);
  std::string expected = "ambaraBA CICI COCO TRE CIVETTE" + kTail;
  EXPECT_EQ(far->Read(expected.size()), expected);
  EXPECT_TRUE(t.folder.Has("CortBorea/pending.txt")) << "a running service's spool is left alone";

  EXPECT_EQ(RunValico({"--home", t.folder.path(), "--com", "5=" + t.folder / "no-such-port",
                       "prebill-test"}),
            1);
}

}  // namespace
}  // namespace valico
