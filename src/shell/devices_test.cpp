// The pre-bill printer as the running system reaches it: start-up, polling cycle, intake.
#include "shell/devices.h"

#include <gtest/gtest.h>

#include "core/testing/test_context.h"
#include "shell/startup.h"
#include "spool/polling_cycle.h"

namespace valico {
namespace {

using testing::TestContext;

TEST(DevicesTest, DptJobsDroppedIntoCortBoreaReachThePort) {
  TestContext t;
  t.folder.Write("drive_c/CALDERA/_Local.ini",
                 "[VARIE]\r\nBANCO_DS_STAMPANTE=108\r\nBANCO_DS_STAMPANTE_C=4\r\n"
                 "BANCO_DS_STAMPANTE_P=19200,N,8,1\r\n");
  t.WriteValico("Cort_Active=-1\r\nCort_Printer=DPT-282\r\nCort_COM=1\r\n");
  StartUp(t.ctx);
  EXPECT_EQ(t.ctx.com_preconto.port(), 4) << "imported and loaded before the first job";

  ValicoDevices devices(t.ctx);
  PollingCycle cycle(t.files, t.log, t.watch, t.settings, t.ctx.cfg, devices);
  t.folder.Write("CortBorea/a.txt", "N2:01:Tavolo 5\r\nN2:01:Totale 12,00\r\n");
  t.folder.Write("CortBorea/b.txt", "N2:01:Tavolo 6\r\n");
  cycle.Timer1_Timer();

  const std::string tail = " \r\n \r\n \r\n \r\n \r\n\x1bm";
  const std::string a = "Tavolo 5\r\nTotale 12,00\r\n" + tail, b = "Tavolo 6\r\n" + tail;
  ASSERT_EQ(t.serial.ports.size(), 1u) << "the pass's jobs go out on one opening of the port";
  const auto& port = *t.serial.ports[0];
  EXPECT_EQ(port.number, 4);
  EXPECT_EQ(port.settings.baud, 19200);
  EXPECT_FALSE(port.open) << "let go at the end of the pass";
  EXPECT_TRUE(port.bytes == a + b || port.bytes == b + a) << port.bytes;
  EXPECT_FALSE(t.folder.Has("CortIN/a.txt"));
  EXPECT_FALSE(t.folder.Has("CortIN/b.txt"));
}

}  // namespace
}  // namespace valico
