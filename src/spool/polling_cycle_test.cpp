#include "spool/polling_cycle.h"

#include <gtest/gtest.h>

#include "core/testing/test_context.h"
#include "spool/testing/recording_devices.h"

namespace valico {
namespace {

using testing::RecordingDevices;
using testing::TestContext;

// Every device on, with the files it needs.
void AllOn(Config& c) {
  c.Display_Active = c.MF_Active = c.RF_Active = c.Cort_Active = true;
  c.Display_File = "C:\\Valico\\Display.txt";
  c.MF_File = "C:\\Casio\\CAS.txt";
  c.MF_File_Output = "C:\\Casio\\OUT.txt";
  c.RF_File = "C:\\rf.txt";
  c.RF_Stampante = "EPSON TM-U295";
  c.RF_Seriale = TypedValue::FromInt(2);
}

class PollingCycleTest : public ::testing::Test {
 protected:
  PollingCycleTest() { AllOn(t.ctx.cfg); }
  // Two ticks: the second finds nothing new.
  void Ticks() {
    cycle.Timer1_Timer();
    cycle.Timer1_Timer();
  }
  std::string Flag(const char* key) const {
    return t.ctx.ini.LeggiINI("Varie", key, "<none>", t.ctx.cfg.IniValico);
  }

  TestContext t;
  RecordingDevices devices;
  PollingCycle cycle{t.files, t.log, t.watch, t.settings, t.ctx.cfg, devices};
};

TEST_F(PollingCycleTest, ConditionsOfEachStep) {
  struct Case {
    const char* name;
    std::function<void(Config&)> change;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"all on", [](Config&) {}, {"DLY", "MF", "RF", "CR"}},
      {"display off", [](Config& c) { c.Display_Active = false; }, {"MF", "RF", "CR"}},
      {"display file empty", [](Config& c) { c.Display_File.clear(); }, {"MF", "RF", "CR"}},
      {"MF_File empty", [](Config& c) { c.MF_File.clear(); }, {"DLY", "RF", "CR"}},
      {"receipt port 0",
       [](Config& c) { c.RF_Seriale = TypedValue::FromInt(0); },
       {"DLY", "MF", "CR"}},
      {"receipt printer empty", [](Config& c) { c.RF_Stampante.clear(); }, {"DLY", "MF", "CR"}},
      {"receipt file empty", [](Config& c) { c.RF_File.clear(); }, {"DLY", "MF", "CR"}},
      {"pre-bills off", [](Config& c) { c.Cort_Active = false; }, {"DLY", "MF", "RF"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestContext fresh;
    RecordingDevices dev;
    AllOn(fresh.ctx.cfg);
    c.change(fresh.ctx.cfg);
    for (const char* f :
         {"drive_c/Valico/Display.txt", "drive_c/rf.txt", "Borea/f1", "CortBorea/p1"})
      fresh.folder.Write(f, "x");
    PollingCycle(fresh.files, fresh.log, fresh.watch, fresh.settings, fresh.ctx.cfg, dev)
        .Timer1_Timer();
    std::vector<std::string> expected;
    for (std::string call : c.expected) {
      if (call == "MF") call += " " + fresh.ctx.InProgramFolder("IN\\f1");
      if (call == "CR") call += " " + fresh.ctx.InProgramFolder("CortIN\\p1");
      expected.push_back(call);
    }
    EXPECT_EQ(dev.calls, expected);
  }
}

TEST_F(PollingCycleTest, AReceiptPortNamedInFullHoldsTheJobAndIsLoggedOnce) {
  t.ctx.cfg.RF_Seriale = TypedValue::FromText("Ne01");
  t.folder.Write("drive_c/rf.txt", "receipt");
  Ticks();
  Ticks();
  EXPECT_TRUE(devices.calls.empty());
  EXPECT_EQ(t.log.Count("RF_Seriale is not a port"), 1);
}

TEST_F(PollingCycleTest, SpoolFlagsHoldPassesOffAndAreReadAtEveryTick) {
  t.ctx.cfg.Display_Active = t.ctx.cfg.RF_Active = false;
  t.WriteValico("MF_Vuoto=0\r\nCort_Vuoto=abc\r\n");
  t.folder.Write("Borea/f1", "x");
  t.folder.Write("CortBorea/p1", "x");
  t.folder.Write("drive_c/Casio/OUT.txt", "answer");
  Ticks();
  EXPECT_TRUE(devices.calls.empty());
  EXPECT_TRUE(t.folder.Has("Borea/f1"));
  EXPECT_TRUE(t.folder.Has("drive_c/Casio/OUT.txt")) << "held spool: output not deleted";
  EXPECT_EQ(Flag("MF_Vuoto"), "0") << "the system never closes a spool itself";

  t.WriteValico("MF_Vuoto=-1\r\n");
  Ticks();
  EXPECT_EQ(devices.calls.size(), 2u);
  EXPECT_FALSE(t.folder.Has("drive_c/Casio/OUT.txt"));
  EXPECT_EQ(Flag("MF_Vuoto"), "-1");
  EXPECT_EQ(Flag("Cort_Vuoto"), "-1");
}

TEST_F(PollingCycleTest, AnIdleTickDoesNotRewriteTheSettingsFile) {
  t.WriteValico("MF_Vuoto=-1\r\nCort_Vuoto=-1\r\n");
  auto path = t.folder / "_Valico.ini";
  auto old = std::filesystem::last_write_time(path) - std::chrono::hours(1);
  std::filesystem::last_write_time(path, old);
  for (int i = 0; i < 5; ++i) cycle.Timer1_Timer();
  EXPECT_EQ(std::filesystem::last_write_time(path), old);
}

TEST_F(PollingCycleTest, AFailingStepIsContainedAndTicksDoNotNest) {
  t.ctx.cfg.Display_Active = t.ctx.cfg.RF_Active = false;
  t.folder.Write("Borea/f1", "x");
  int nested = 0;
  devices.on_job = [&](const std::string& job) {
    if (nested++ == 0) {
      // A tick inside a hand-off (a message box's loop) must return at once: a pass there
      // would take what Borea drops meanwhile, under the name of a job still being handled.
      t.folder.Write("CortBorea/p1", "x");
      cycle.Timer1_Timer();
      EXPECT_TRUE(t.folder.Has("CortBorea/p1")) << "a nested tick took a job";
    }
    if (job.find("IN\\f1") != std::string::npos) throw std::runtime_error("driver exploded");
  };
  Ticks();
  EXPECT_EQ(nested, 2) << "the pre-bill step ran after the fiscal step failed";
  EXPECT_TRUE(t.log.Contains("hand-off of " + t.Native(t.ctx.InProgramFolder("IN\\f1")) +
                             " failed: driver exploded"));
  cycle.Timer1_Timer();  // and the next tick runs
}

}  // namespace
}  // namespace valico
