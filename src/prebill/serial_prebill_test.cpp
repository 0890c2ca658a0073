#include "prebill/serial_prebill.h"

#include <gtest/gtest.h>

#include "platform/testing/test_platform.h"

namespace valico {
namespace {

// The bytes on a real port are tested in serial_prebill_port_test; these are the failures.
TEST(SerialPrebillTest, DptFailuresAreLoggedAndTheJobIsDeletedAllTheSame) {
  testing::TestPlatform t;
  Config cfg;
  cfg.Cort_Com = TypedValue::FromInt(3);
  cfg.Cort_Sett = "9600,N,8,1";
  SerialControl port(t.serial, t.log, "pre-bill port");
  SerialPrebill dpt(cfg, t.regional, port, t.files, t.log, t.dialogs);
  // A job that cannot be read sends the blank lines and the cut.
  dpt.StampaCortDPT(t.InFolder("CortIN\\missing.txt"));
  ASSERT_EQ(t.serial.ports.size(), 1u);
  EXPECT_EQ(t.serial.ports[0]->bytes, " \r\n \r\n \r\n \r\n \r\n\x1bm");
  EXPECT_TRUE(t.log.Contains("cannot read pre-bill job"));

  // A port that is not a number leaves the port as it was.
  cfg.Cort_Com = TypedValue::FromText("Ne01");
  dpt.StampaCortDPT(t.InFolder("CortIN\\missing.txt"));
  ASSERT_EQ(t.serial.ports.size(), 2u);
  EXPECT_EQ(t.serial.ports[1]->number, 3);
  EXPECT_TRUE(t.log.Contains("Cort_Com \"Ne01\" is not a port number"));

  // A port that does not open sends nothing.
  t.serial.fail_open = true;
  t.folder.Write("CortIN/job.txt", "N2:01:Tavolo 5\r\n");
  std::string job = t.InFolder("CortIN\\job.txt");
  dpt.StampaCortDPT(job);
  EXPECT_EQ(t.serial.ports.size(), 2u);
  EXPECT_FALSE(t.files.Exists(job));
  EXPECT_TRUE(t.log.Contains("cannot open COM3: no such port"));
  EXPECT_TRUE(t.log.Contains("not printed: the port did not open"));

  // Settings that do not parse: the test print shows the first error and opens nothing.
  t.serial.fail_open = false;
  cfg.Cort_Sett = "9600,X,8,1";
  EXPECT_FALSE(dpt.Command1_Click());
  EXPECT_EQ(t.serial.ports.size(), 2u);
  EXPECT_TRUE(t.log.Contains("message box: Errore: settings \"9600,X,8,1\""));
}

}  // namespace
}  // namespace valico
