#include "jobs/scheduler.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "core/testing/test_context.h"

namespace valico {
namespace {

using testing::TestContext;

constexpr LocalTime kSaturday0830{2026, 12, 5, 8, 30, 0, 6};

class SchedulerTest : public ::testing::Test {
 protected:
  SchedulerTest() {
    Config& cfg = t.ctx.cfg;
    cfg.DirBorea = "C:\\CALDERA";
    cfg.IniLocal = "C:\\CALDERA\\_Local.ini";
    cfg.RunTimeBorea = "C:\\Programmi\\Access 97 Runtime\\msaccess.exe";
    t.clock.SetLocal(kSaturday0830);
  }
  // _Schedulatore.ini's [VARIE] and _Local.ini's [Varie].
  void Write(const std::string& scheduler, const std::string& local = "") {
    t.folder.Write("drive_c/CALDERA/_Schedulatore.ini", "[VARIE]\r\n" + scheduler);
    t.folder.Write("drive_c/CALDERA/_Local.ini", "[Varie]\r\n" + local);
  }
  // A key of [Varie] in _Local.ini (L), _Schedulatore.ini (S) or _Valico.ini (V).
  std::string Key(char file, const char* key) {
    const std::string& ini = file == 'L'   ? t.ctx.cfg.IniLocal
                             : file == 'V' ? t.ctx.cfg.IniValico
                                           : "C:\\CALDERA\\_Schedulatore.ini";
    return t.ctx.ini.LeggiINI("Varie", key, "<none>", ini);
  }

  TestContext t;
};

constexpr const char* kRestoreLine =
    "\"C:\\Programmi\\Access 97 Runtime\\msaccess.exe\" /runtime /wrkgrp "
    "\"C:\\CALDERA\\System.mdw\" \"C:\\CALDERA\\Restore_Borea.mde\"";
constexpr const char* kZefiroLine =
    "\"C:\\Programmi\\Access 97 Runtime\\msaccess.exe\" /runtime /wrkgrp "
    "\"C:\\CALDERA\\System.mdw\" \"C:\\CALDERA\\Zefiro.mde\"";

TEST(SchedulerKeys, SlotKeysInTheRegionalLanguage) {
  Regional it = RegionalFor("it_IT");
  const char* italian[] = {"DOM", "LUN", "MAR", "MER", "GIO", "VEN", "SAB"};
  for (int d = 0; d < 7; ++d) {
    EXPECT_EQ(SlotKey(it, LocalTime{2026, 12, 6, 17, 45, 0, d}), std::string(italian[d]) + "#1745");
  }
  EXPECT_EQ(SlotKey(RegionalFor("es_ES"), kSaturday0830),
            "S\xC1"
            "B#0830")
      << "accents too";
}

TEST_F(SchedulerTest, SameMinuteRunsOnceWhateverTheRole) {
  for (const char* role : {"SERVER", "CLIENT"}) {
    Write("SAB#0830=2#NOTTE#\r\n");
    t.WriteValico("OP_LAST=04122026#SAB#0830\r\n");
    t.ctx.cfg.Postazione = role;
    OperazioniPianificate(t.ctx.svc, t.ctx.ini, t.ctx.cfg);
    EXPECT_EQ(Key('L', "RESTORE_ACTIVE"), "-1") << role;
    EXPECT_EQ(Key('L', "VALICO_RBOREA_ACTIVE"), std::string(role) == "SERVER" ? "1" : "2") << role;
  }
  ASSERT_EQ(t.processes.started.size(), 2u);

  // The same minute again: nothing at all, not even the request flag.
  t.folder.Write("drive_c/CALDERA/_Schedulatore.ini",
                 "[VARIE]\r\nSAB#0830=2#NOTTE#\r\nPRC_ACTIVE=-1\r\n");
  std::string local_before = t.folder.Read("drive_c/CALDERA/_Local.ini");
  OperazioniPianificate(t.ctx.svc, t.ctx.ini, t.ctx.cfg);
  EXPECT_EQ(t.processes.started.size(), 2u);
  EXPECT_EQ(Key('S', "PRC_ACTIVE"), "-1");
  EXPECT_EQ(t.folder.Read("drive_c/CALDERA/_Local.ini"), local_before);
}

TEST_F(SchedulerTest, SlotValuesRequestsAndBatchFiles) {
  // What was started: R = the restore database, Z = Zefiro, RB / ZB = their batch files.
  struct Case {
    const char* name;
    const char* scheduler;  // body of [VARIE]
    const char* local_ope;  // Valico_SO_OPE in _Local.ini before the call, or null
    const char* batch;      // a file written into the program folder, or null
    const char* started;
    const char* op_last;    // OP_LAST afterwards
    const char* prc_after;  // PRC_ACTIVE afterwards
    const char* tag;        // VALICO_SO_TAG afterwards
  };
  const char* kToday = "05122026#SAB#0830";
  const char* kNone = "<none>";
  // clang-format off
  const Case cases[] = {
      {"lower-case value", "SAB#0830=2#notte#\r\n", nullptr, nullptr, "R", kToday, kNone, "NOTTE"},
      {"code without closing #", "SAB#0830=5#X\r\n", nullptr, nullptr, "Z", kToday, kNone, ""},
      {"fields past the tag", "SAB#0830=1#A#B#C\r\n", nullptr, nullptr, "Z", kToday, kNone, "A"},
      {"no # at all: flags only", "SAB#0830=ABC\r\n", nullptr, nullptr, "", kToday, kNone, ""},
      {"no entry, request for 21", "PRC_ACTIVE=-1\r\n", "21", nullptr, "R", kNone, "0", kNone},
      {"request without a code", "PRC_ACTIVE=-1\r\n", "", nullptr, "", kNone, "0", kNone},
      {"request off", "PRC_ACTIVE=0\r\n", "2", nullptr, "", kNone, "0", kNone},
      {"slot and request: the slot's code", "SAB#0830=7#T#\r\nPRC_ACTIVE=-1\r\n", "2", nullptr,
       "Z", kToday, "0", "T"},
      {"restore batch", "SAB#0830=2#N#\r\n", nullptr, "RestoreBorea.bat", "RB", kToday, kNone, "N"},
      {"batch in other letter case", "SAB#0830=2#N#\r\n", nullptr, "restoreborea.bat", "R",
       kToday, kNone, "N"},
      {"Zefiro batch", "SAB#0830=3#Z#\r\n", nullptr, "Zefiro.bat", "ZB", kToday, kNone, "Z"},
  };
  // clang-format on
  const std::string program = t.ctx.program_folder();
  const std::map<std::string, std::vector<std::pair<std::string, WindowState>>> started = {
      {"", {}},
      {"R", {{kRestoreLine, WindowState::kMinimizedNoFocus}}},
      {"Z", {{kZefiroLine, WindowState::kMinimizedNoFocus}}},
      {"RB", {{program + "\\RestoreBorea.bat", WindowState::kHidden}}},
      {"ZB", {{program + "\\Zefiro.bat", WindowState::kMinimizedFocus}}},
  };
  for (const Case& c : cases) {
    Write(c.scheduler, c.local_ope ? std::string("Valico_SO_OPE=") + c.local_ope + "\r\n" : "");
    t.WriteValico("");
    for (const char* b : {"RestoreBorea.bat", "restoreborea.bat", "Zefiro.bat"})
      std::filesystem::remove(t.folder / b);
    if (c.batch) t.folder.Write(c.batch, "echo\n");
    t.processes.started.clear();

    OperazioniPianificate(t.ctx.svc, t.ctx.ini, t.ctx.cfg);
    EXPECT_EQ(t.processes.started, started.at(c.started)) << c.name;
    EXPECT_EQ(Key('V', "OP_LAST"), c.op_last) << c.name;
    EXPECT_EQ(Key('S', "PRC_ACTIVE"), c.prc_after) << c.name;
    EXPECT_EQ(Key('L', "VALICO_SO_TAG"), c.tag) << c.name;
    EXPECT_EQ(Key('L', "VALICO_SO_ACTIVE"), c.op_last == kNone ? kNone : "-1") << c.name;
  }
}

}  // namespace
}  // namespace valico
