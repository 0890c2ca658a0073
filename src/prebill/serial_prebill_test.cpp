#include "prebill/serial_prebill.h"

#include <gtest/gtest.h>

#include "platform/testing/test_context.h"

namespace valico {
namespace {

using testing::TestContext;

std::string Tail() {
  std::string t;
  for (int i = 0; i < 5; ++i) t += " \r\n";
  return t + "\x1bm";
}

class SerialPrebillTest : public ::testing::Test {
 protected:
  SerialPrebillTest() {
    t.ctx.cfg.Cort_Printer = "DPT-282";
    t.ctx.cfg.Cort_Com = TypedValue::FromInt(3);
    t.ctx.cfg.Cort_Sett = "9600,N,8,1";
  }
  std::string Job(const std::string& bytes) {
    t.folder.Write("CortIN/job.txt", bytes);
    return t.ctx.InProgramFolder("CortIN\\job.txt");
  }

  TestContext t;
};

TEST_F(SerialPrebillTest, DptTakesPortAndSettingsFromTheModel) {
  t.ctx.cfg.Cort_Sett = "4800,E,7,1";
  StampaCortDPT(t.ctx, Job("N2"));
  ASSERT_EQ(t.serial.ports.size(), 1u);
  EXPECT_EQ(t.serial.ports[0]->number, 3);
  EXPECT_EQ(t.serial.ports[0]->settings, (SerialSettings{4800, Parity::kEven, 7, StopBits::kOne}));

  // A port that is not a number leaves the port as it was.
  t.ctx.cfg.Cort_Com = TypedValue::FromText("Ne01");
  StampaCortDPT(t.ctx, Job("N2"));
  ASSERT_EQ(t.serial.ports.size(), 2u);
  EXPECT_EQ(t.serial.ports[1]->number, 3);
  EXPECT_TRUE(t.log.Contains("Cort_Com \"Ne01\" is not a port number"));
}

TEST_F(SerialPrebillTest, DptFailuresAreLoggedAndTheJobIsDeletedAllTheSame) {
  // A job that cannot be read sends the blank lines and the cut.
  StampaCortDPT(t.ctx, t.ctx.InProgramFolder("CortIN\\missing.txt"));
  ASSERT_EQ(t.serial.ports.size(), 1u);
  EXPECT_EQ(t.serial.ports[0]->bytes, Tail());
  EXPECT_TRUE(t.log.Contains("cannot read pre-bill job"));

  // A port that does not open sends nothing.
  t.serial.fail_open = true;
  std::string job = Job("N2:01:Tavolo 5\r\n");
  StampaCortDPT(t.ctx, job);
  EXPECT_EQ(t.serial.ports.size(), 1u);
  EXPECT_FALSE(t.files.Exists(job));
  EXPECT_TRUE(t.log.Contains("cannot open COM3: no such port"));
  EXPECT_TRUE(t.log.Contains("not printed: the port did not open"));
}

TEST_F(SerialPrebillTest, TestPrintShowsTheFirstError) {
  t.ctx.cfg.Cort_Sett = "9600,X,8,1";
  EXPECT_FALSE(Command1_Click(t.ctx));
  EXPECT_TRUE(t.serial.ports.empty());
  EXPECT_TRUE(t.log.Contains("message box: Errore: settings \"9600,X,8,1\""));
}

}  // namespace
}  // namespace valico
