#include "spool/polling_cycle.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/testing/test_context.h"
#include "spool/testing_devices.h"

namespace valico {
namespace {

using testing::RecordingDevices;
using testing::TestContext;

class PollingCycleTest : public ::testing::Test {
 protected:
  PollingCycleTest() {
    Config& c = t.ctx.cfg;
    c.Display_Active = true;
    c.Display_File = "C:\\Valico\\Display.txt";
    c.MF_Active = true;
    c.MF_File = "C:\\Casio\\CAS.txt";
    c.MF_File_Output = "C:\\Casio\\OUT.txt";
    c.RF_Active = true;
    c.RF_File = "C:\\rf.txt";
    c.RF_Stampante = "EPSON TM-U295";
    c.RF_Seriale = TypedValue::FromInt(2);
    c.Cort_Active = true;
  }
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
  std::string mf = "MF " + t.ctx.InProgramFolder("IN\\f1");
  std::string cr = "CR " + t.ctx.InProgramFolder("CortIN\\p1");
  const Case cases[] = {
      {"all on", [](Config&) {}, {"DLY", mf, "RF", cr}},
      {"display off", [](Config& c) { c.Display_Active = false; }, {mf, "RF", cr}},
      {"display file empty", [](Config& c) { c.Display_File.clear(); }, {mf, "RF", cr}},
      {"MF_File empty", [](Config& c) { c.MF_File.clear(); }, {"DLY", "RF", cr}},
      {"receipt port 0", [](Config& c) { c.RF_Seriale = TypedValue::FromInt(0); }, {"DLY", mf, cr}},
      {"receipt port named in full",
       [](Config& c) { c.RF_Seriale = TypedValue::FromText("Ne01"); },
       {"DLY", mf, cr}},
      {"receipt printer empty", [](Config& c) { c.RF_Stampante.clear(); }, {"DLY", mf, cr}},
      {"receipt file empty", [](Config& c) { c.RF_File.clear(); }, {"DLY", mf, cr}},
      {"pre-bills off", [](Config& c) { c.Cort_Active = false; }, {"DLY", mf, "RF"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestContext fresh;
    RecordingDevices dev;
    Config cfg = t.ctx.cfg;
    c.change(cfg);
    cfg.IniValico = fresh.ctx.cfg.IniValico;
    cfg.DirProgramma = fresh.ctx.cfg.DirProgramma;
    fresh.ctx.cfg = cfg;
    fresh.folder.Write("drive_c/Valico/Display.txt", "hello");
    fresh.folder.Write("drive_c/rf.txt", "receipt");
    fresh.folder.Write("Borea/f1", "x");
    fresh.folder.Write("CortBorea/p1", "x");
    PollingCycle cyc(fresh.files, fresh.log, fresh.watch, fresh.settings, fresh.ctx.cfg, dev);
    cyc.Timer1_Timer();
    for (std::string& call : dev.calls) {
      size_t at = call.find(fresh.folder.path());
      if (at != std::string::npos) call.replace(at, fresh.folder.path().size(), t.folder.path());
    }
    EXPECT_EQ(dev.calls, c.expected);
  }
}

TEST_F(PollingCycleTest, AReceiptPortNamedInFullHoldsTheJobAndIsLoggedOnce) {
  t.ctx.cfg.RF_Seriale = TypedValue::FromText("Ne01");
  t.folder.Write("drive_c/rf.txt", "receipt");
  Ticks();
  Ticks();
  EXPECT_TRUE(devices.calls.empty());
  auto lines = t.log.lines();
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& l) {
                            return l.find("RF_Seriale is not a port number above 0") !=
                                   std::string::npos;
                          }),
            1);
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
  t.folder.Write("CortBorea/p1", "x");
  int nested = 0;
  devices.on_job = [&](const std::string& job) {
    ++nested;
    cycle.Timer1_Timer();  // a re-entrant tick must return at once
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
