#include "settings/ini_store.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/testing/test_context.h"

namespace valico {
namespace {

using testing::TestContext;
using TV = TypedValue;

TEST(IniStoreTest, ReadsWithDefaultsAndTheBufferLimit) {
  TestContext t;
  t.WriteValico("Long=" + std::string(300, 'x') + "\r\nBlank=   \r\nNul=ab\r\n");
  IniStore& ini = t.ctx.ini;
  const std::string& f = t.ctx.cfg.IniValico;
  EXPECT_EQ(ini.LeggiINI("Varie", "Long", "", f), std::string(254, 'x'));
  EXPECT_EQ(ini.LeggiINI("Varie", "Missing", "def  ", f), "def") << "default's blanks dropped";
  EXPECT_EQ(ini.LeggiINI("Varie", "Missing", std::string(300, 'd'), f).size(), 254u);
  EXPECT_EQ(ini.LeggiINI("Varie", "Blank", "def", f), "");
  EXPECT_EQ(ini.LeggiINI("Varie", "x", "-1", t.ctx.InProgramFolder("nofile.ini")), "-1");
  EXPECT_TRUE(ini.LeggiVarie("Missing").is_text());
  EXPECT_EQ(ini.LeggiVarie("Missing").text(), "");
  EXPECT_EQ(ini.LeggiVarieDef("Missing", TV::FromInt(7)), TV::FromInt(7));
  EXPECT_EQ(ini.LeggiVarieDef("Blank", TV::FromText("d")), TV::FromText("d"));
}

TEST(IniStoreTest, TypedWritesAndReadsShareOneSection) {
  TestContext t;
  IniStore& ini = t.ctx.ini;
  ini.ScriviVarie("Flag", TV::FromFlag(true));
  ini.ScriviVarie("Num", TV::FromNumber({125000}));
  ini.ScriviVarie("Null", TV::Null());
  ini.ScriviVarie("  ", TV::FromText("never written"));
  EXPECT_EQ(t.folder.Read("_Valico.ini"), "[VARIE]\r\nFlag=-1\r\nNum=12,5\r\nNull=\r\n");
  EXPECT_EQ(ini.LeggiINI("Varie", "flag", "", t.ctx.cfg.IniValico), "-1");
  EXPECT_EQ(ini.LeggiVarie("Num"), TV::FromNumber({125000}));

  // Another file named explicitly.
  std::string local = t.ctx.InProgramFolder("_Local.ini");
  ini.ScriviVarie("X", TV::FromText("y"), local);
  EXPECT_EQ(ini.LeggiVarie("x", local), TV::FromText("y"));
  EXPECT_EQ(ini.LeggiVarie("x"), TV::FromText(""));
}

TEST(IniStoreTest, WritingTheStoredValueDoesNotTouchTheFile) {
  TestContext t;
  t.WriteValico("MF_Vuoto=-1\r\n");
  std::string path = t.folder / "_Valico.ini";
  auto before = std::filesystem::last_write_time(path);
  std::filesystem::last_write_time(path, before - std::chrono::hours(1));
  auto old = std::filesystem::last_write_time(path);
  for (int i = 0; i < 3; ++i) t.ctx.ini.ScriviVarie("MF_Vuoto", TV::FromFlag(true));
  EXPECT_EQ(std::filesystem::last_write_time(path), old);
  t.ctx.ini.ScriviVarie("MF_Vuoto", TV::FromFlag(false));
  EXPECT_NE(std::filesystem::last_write_time(path), old);
}

TEST(IniStoreTest, FailedWritesLeaveTheFileAsItWas) {
  TestContext t;
  EXPECT_FALSE(t.ctx.ini.ScriviINI("S", "k", "v", t.ctx.InProgramFolder("no\\such\\a.ini")));
  EXPECT_FALSE(t.folder.Has("no"));
  EXPECT_TRUE(t.ctx.ini.ScriviINI("S", "k", "v", t.ctx.cfg.IniValico));
  EXPECT_TRUE(t.ctx.ini.ScriviINI("S", "", "", t.ctx.cfg.IniValico));
  EXPECT_EQ(t.folder.Read("_Valico.ini"), "");
  // No temporary file is left behind.
  for (const auto& e : std::filesystem::directory_iterator(t.folder.path()))
    EXPECT_EQ(e.path().filename(), "_Valico.ini");
}

}  // namespace
}  // namespace valico
