// The pre-bill printer as the running system reaches it: start-up, polling cycle, intake.
#include "shell/devices.h"

#include <gtest/gtest.h>

#include <functional>

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
  EXPECT_EQ(t.ctx.form.Get(controls::Cort_Printer).items.size(), 6u);
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

// A message box holds the tick that shows it while the window's timer goes on firing. Those
// ticks must not start another pre-bill pass: one would delete the job that raised the box
// when Borea drops a new job of the same name meanwhile.
TEST(DevicesTest, TicksWhileStampanteNonTrovataIsOpenStartNoPass) {
  struct ModalBox : Dialogs {
    std::function<void()> while_open;
    std::vector<std::string> shown;
    void Message(std::string_view text, std::string_view) override {
      shown.emplace_back(text);
      if (shown.size() == 1) while_open();
    }
    bool Question(std::string_view, bool answer) override { return answer; }
  } box;
  TestContext t(nullptr, &box);
  t.WriteValico("Cort_Active=-1\r\nCort_Printer=SAMSUNG\r\nCort_COM=3\r\n");
  StartUp(t.ctx);
  ValicoDevices devices(t.ctx);
  PollingCycle cycle(t.files, t.log, t.watch, t.settings, t.ctx.cfg, devices);
  std::string job_while_open;
  box.while_open = [&] {
    t.folder.Write("CortBorea/a.txt", "second");
    cycle.Timer1_Timer();
    job_while_open = t.folder.Read("CortIN/a.txt");
  };
  t.folder.Write("CortBorea/a.txt", "first");
  cycle.Timer1_Timer();
  EXPECT_EQ(job_while_open, "first") << "the job waits in CortIN, untouched, while the box is open";
  EXPECT_EQ(box.shown.size(), 1u);
  EXPECT_EQ(t.folder.Read("CortBorea/a.txt"), "second") << "taken by a later tick";
  cycle.Timer1_Timer();
  EXPECT_EQ(box.shown.size(), 2u);
  EXPECT_FALSE(t.folder.Has("CortIN/a.txt"));
}

}  // namespace
}  // namespace valico
