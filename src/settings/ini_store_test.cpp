#include "settings/ini_store.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/testing/test_platform.h"

namespace valico {
namespace {

using TV = TypedValue;

struct IniStoreTest : ::testing::Test, testing::TestPlatform {
  IniStoreTest() { ini.SetValicoIni(valico); }
  std::string valico = InFolder("_Valico.ini");
  IniStore ini{files, regional, log};
};

TEST_F(IniStoreTest, ReadsWithDefaultsAndTheBufferLimit) {
  WriteValico("Long=" + std::string(300, 'x') + "\r\nBlank=   \r\nNul=ab\r\n");
  const std::string& f = valico;
  EXPECT_EQ(ini.LeggiINI("Varie", "Long", "", f), std::string(254, 'x'));
  EXPECT_EQ(ini.LeggiINI("Varie", "Missing", "def  ", f), "def") << "default's blanks dropped";
  EXPECT_EQ(ini.LeggiINI("Varie", "Missing", std::string(300, 'd'), f).size(), 254u);
  EXPECT_EQ(ini.LeggiINI("Varie", "Blank", "def", f), "");
  EXPECT_EQ(ini.LeggiINI("Varie", "x", "-1", InFolder("nofile.ini")), "-1");
  EXPECT_TRUE(ini.LeggiVarie("Missing").is_text());
  EXPECT_EQ(ini.LeggiVarie("Missing").text(), "");
  EXPECT_EQ(ini.LeggiVarieDef("Missing", TV::FromInt(7)), TV::FromInt(7));
  EXPECT_EQ(ini.LeggiVarieDef("Blank", TV::FromText("d")), TV::FromText("d"));
}

TEST_F(IniStoreTest, TypedWritesAndReadsShareOneSection) {
  ini.ScriviVarie("Flag", TV::FromFlag(true));
  ini.ScriviVarie("Num", TV::FromNumber({125000}));
  ini.ScriviVarie("Null", TV::Null());
  ini.ScriviVarie("  ", TV::FromText("never written"));
  EXPECT_EQ(folder.Read("_Valico.ini"), "[VARIE]\r\nFlag=-1\r\nNum=12,5\r\nNull=\r\n");
  EXPECT_EQ(ini.LeggiINI("Varie", "flag", "", valico), "-1");
  EXPECT_EQ(ini.LeggiVarie("Num"), TV::FromNumber({125000}));

  // Another file named explicitly.
  std::string local = InFolder("_Local.ini");
  ini.ScriviVarie("X", TV::FromText("y"), local);
  EXPECT_EQ(ini.LeggiVarie("x", local), TV::FromText("y"));
  EXPECT_EQ(ini.LeggiVarie("x"), TV::FromText(""));
}

TEST_F(IniStoreTest, WritingTheStoredValueDoesNotTouchTheFile) {
  WriteValico("MF_Vuoto=-1\r\n");
  std::string path = folder / "_Valico.ini";
  auto before = std::filesystem::last_write_time(path);
  std::filesystem::last_write_time(path, before - std::chrono::hours(1));
  auto old = std::filesystem::last_write_time(path);
  for (int i = 0; i < 3; ++i) ini.ScriviVarie("MF_Vuoto", TV::FromFlag(true));
  EXPECT_EQ(std::filesystem::last_write_time(path), old);
  ini.ScriviVarie("MF_Vuoto", TV::FromFlag(false));
  EXPECT_NE(std::filesystem::last_write_time(path), old);
}

TEST_F(IniStoreTest, FailedWritesLeaveTheFileAsItWas) {
  EXPECT_FALSE(ini.ScriviINI("S", "k", "v", InFolder("no\\such\\a.ini")));
  EXPECT_FALSE(folder.Has("no"));
  EXPECT_TRUE(ini.ScriviINI("S", "k", "v", valico));
  EXPECT_TRUE(ini.ScriviINI("S", "", "", valico));
  EXPECT_EQ(folder.Read("_Valico.ini"), "");
  // No temporary file is left behind.
  for (const auto& e : std::filesystem::directory_iterator(folder.path()))
    EXPECT_EQ(e.path().filename(), "_Valico.ini");
}

}  // namespace
}  // namespace valico
