#include "prebill/serial_prebill.h"

#include <gtest/gtest.h>

#include "platform/testing/test_platform.h"

namespace valico {
namespace {

// The bytes a port receives. That they reach the far end of a real line unchanged is the
// serial ports' test; the test print on a real line is the prebill-test command's.
struct SerialPrebillTest : ::testing::Test, testing::TestPlatform {
  SerialPrebillTest() {
    cfg.Cort_Com = TypedValue::FromInt(3);
    cfg.Cort_Sett = "9600,N,8,1";
  }
  std::string Job(const std::string& bytes) {
    folder.Write("CortIN/job.txt", bytes);
    return InFolder("CortIN\\job.txt");
  }

  Config cfg;
  SerialControl port{serial, log, "pre-bill port"};
  SerialPrebill dpt{cfg, regional, port, files, log, dialogs};
};

const std::string kTail = " \r\n \r\n \r\n \r\n \r\n\x1bm";

TEST_F(SerialPrebillTest, DptSendsTheN2TextThenTheTailAndDeletesTheJob) {
  const std::string long_line(1100, 'x');
  struct {
    const char* name;
    std::string job;
    std::string bytes;
    std::vector<std::size_t> writes;  // one per output buffer (1024 bytes) of the job
  } cases[] = {
      // clang-format off
      {"two lines", "N2:01:Tavolo 5\r\nN2:01:Totale 12,00\r\n",
       "Tavolo 5\r\nTotale 12,00\r\n" + kTail, {41}},
      {"no N2 lines", "N1:01:Tavolo 5\r\nLF\nalone\r\n", kTail, {17}},
      {"code page bytes and LF unchanged", "N2:01:Caff\xE8\nlatte\r\n",
       "Caff\xE8\nlatte\r\n" + kTail, {30}},
      {"longer than the output buffer", "N2:01:" + long_line + "\r\n",
       long_line + "\r\n" + kTail, {1024, 95}},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string job = Job(c.job);
    dpt.StampaCortDPT(job);
    ASSERT_FALSE(serial.ports.empty());
    EXPECT_EQ(serial.ports.back()->bytes, c.bytes);
    EXPECT_EQ(serial.ports.back()->writes, c.writes);
    EXPECT_EQ(serial.ports.back()->number, 3);
    EXPECT_FALSE(port.IsOpen()) << "closed after each job";
    EXPECT_FALSE(files.Exists(job));
  }
}

TEST_F(SerialPrebillTest, DptFailuresAreLoggedAndTheJobIsDeletedAllTheSame) {
  // A job that cannot be read sends the blank lines and the cut.
  dpt.StampaCortDPT(InFolder("CortIN\\missing.txt"));
  ASSERT_EQ(serial.ports.size(), 1u);
  EXPECT_EQ(serial.ports[0]->bytes, kTail);
  EXPECT_TRUE(log.Contains("cannot read pre-bill job " +
                           files.Native(InFolder("CortIN\\missing.txt")) + ":"));

  // A port that is not a number leaves the port as it was.
  cfg.Cort_Com = TypedValue::FromText("Ne01");
  dpt.StampaCortDPT(InFolder("CortIN\\missing.txt"));
  ASSERT_EQ(serial.ports.size(), 2u);
  EXPECT_EQ(serial.ports[1]->number, 3);
  EXPECT_TRUE(log.Contains("Cort_Com \"Ne01\" is not a port number"));

  // A port that does not open sends nothing.
  serial.fail_open = true;
  std::string job = Job("N2:01:Tavolo 5\r\n");
  dpt.StampaCortDPT(job);
  EXPECT_EQ(serial.ports.size(), 2u);
  EXPECT_FALSE(files.Exists(job));
  EXPECT_TRUE(log.Contains("cannot open COM3: no such port"));
  EXPECT_TRUE(log.Contains("not printed: the port did not open"));

  // A printer that stops taking bytes: the rest of the job is not tried.
  serial.fail_open = false;
  serial.refuse_writes = true;
  job = Job("N2:01:" + std::string(3000, 'x') + "\r\n");
  dpt.StampaCortDPT(job);
  ASSERT_EQ(serial.ports.size(), 3u);
  EXPECT_EQ(serial.ports[2]->writes, std::vector<std::size_t>{1024});
  EXPECT_TRUE(log.Contains("was cut short"));
  EXPECT_FALSE(files.Exists(job));
}

// The service's pass sends its jobs on one opening of the port and closes it at its end; a
// printer that stopped taking bytes gets a fresh opening at the next job.
TEST_F(SerialPrebillTest, APassSendsItsJobsOnOneOpeningOfThePort) {
  dpt.KeepPortOpenDuringPass(true);
  dpt.StampaCortDPT(Job("N2:01:A\r\n"));
  dpt.StampaCortDPT(Job("N2:01:B\r\n"));
  ASSERT_EQ(serial.ports.size(), 1u);
  EXPECT_EQ(serial.ports[0]->bytes, "A\r\n" + kTail + "B\r\n" + kTail);
  dpt.EndOfPass();
  EXPECT_FALSE(port.IsOpen());
  serial.refuse_writes = true;
  dpt.StampaCortDPT(Job("N2:01:C\r\n"));
  EXPECT_FALSE(port.IsOpen());
}

// The test print ends at its first failing step with "Errore: " and the reason, and sends
// nothing: the port number from Cort_Com is that first step.
TEST_F(SerialPrebillTest, TheTestPrintEndsAtItsFirstError) {
  struct Case {
    const char* name;
    TypedValue port;
    std::string settings;
    bool fail_open;
    std::string message;
  } cases[] = {
      {"blank port", TypedValue::FromText(""), "9600,N,8,1", false,
       "Errore: Cort_Com \"\" is not a port number"},
      {"port not a number", TypedValue::FromText("Ne01"), "9600,N,8,1", false,
       "Errore: Cort_Com \"Ne01\" is not a port number"},
      {"settings that do not parse", TypedValue::FromInt(3), "9600,X,8,1", false,
       "Errore: settings \"9600,X,8,1\""},
      {"a port that does not open", TypedValue::FromInt(3), "9600,N,8,1", true,
       "Errore: no such port"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cfg.Cort_Com = c.port;
    cfg.Cort_Sett = c.settings;
    serial.fail_open = c.fail_open;
    EXPECT_FALSE(dpt.Command1_Click());
    EXPECT_TRUE(serial.ports.empty()) << "nothing opened, nothing sent";
    EXPECT_TRUE(log.Contains("message box: " + c.message));
    EXPECT_FALSE(port.IsOpen());
  }
}

}  // namespace
}  // namespace valico
