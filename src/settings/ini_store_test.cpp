#include "settings/ini_store.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/testing/test_platform.h"
#include "settings/testing/ini_cases.h"

namespace valico {
namespace {

using TV = TypedValue;

struct IniStoreTest : ::testing::Test, testing::TestPlatform {
  IniStoreTest() { ini.SetValicoIni(valico); }
  std::string valico = InFolder("_Valico.ini");
  IniStore ini{files, regional, log};
};

// What the profile functions read and write, on every system (on Windows the same cases are
// checked against the platform's own functions).
TEST_F(IniStoreTest, ReadsAndWritesAsTheProfileFunctions) {
  int n = 0;
  auto file = [&](const std::string& content) {
    std::string name = "f" + std::to_string(++n) + ".ini";
    if (!content.empty()) folder.Write(name, content);
    return name;
  };
  for (const testing::IniReadCase& c : testing::IniReadCases())
    EXPECT_EQ(ini.LeggiINI(c.section, c.key, c.fallback, InFolder(file(c.content))), c.expected)
        << c.name;
  for (const testing::IniWriteCase& c : testing::IniWriteCases()) {
    std::string name = file(c.content);
    EXPECT_TRUE(ini.ScriviINI(c.section, c.key, c.value ? c.value : "", InFolder(name))) << c.name;
    EXPECT_TRUE(folder.Read(name) == c.expected) << c.name << ":\n" << folder.Read(name);
  }
}

// Typed writes and reads share one section; a missing or blank key reads as the default.
TEST_F(IniStoreTest, TypedWritesAndReadsShareOneSection) {
  ini.ScriviVarie("Flag", TV::FromFlag(true));
  ini.ScriviVarie("Num", TV::FromNumber({125000}));
  ini.ScriviVarie("Null", TV::Null());
  ini.ScriviVarie("  ", TV::FromText("never written"));
  EXPECT_EQ(folder.Read("_Valico.ini"), "[VARIE]\r\nFlag=-1\r\nNum=12,5\r\nNull=\r\n");
  EXPECT_EQ(ini.LeggiINI("Varie", "flag", "", valico), "-1");
  EXPECT_EQ(ini.LeggiVarie("Num"), TV::FromNumber({125000}));
  EXPECT_EQ(ini.LeggiVarieDef("Missing", TV::FromInt(7)), TV::FromInt(7));
  EXPECT_EQ(ini.LeggiVarieDef("Null", TV::FromText("d")), TV::FromText("d"));

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
  EXPECT_TRUE(ini.ScriviINI("Altro", "", "", valico)) << "a section it lacks, removed";
  EXPECT_EQ(std::filesystem::last_write_time(path), old);
  ini.ScriviVarie("MF_Vuoto", TV::FromFlag(false));
  EXPECT_NE(std::filesystem::last_write_time(path), old);
}

// A folder where the file should be, or a file far larger than any settings file: reads give
// the defaults, writes fail, and the log says why once, not at every call. A file in a folder
// that does not exist is not written either.
TEST_F(IniStoreTest, FilesThatCannotBeReadGiveDefaultsAndRefuseWrites) {
  std::filesystem::create_directory(folder / "_Valico.ini");
  const std::string big = "[Varie]\r\nA=1\r\n" + std::string(IniStore::kMaxFileBytes, ';');
  folder.Write("big.ini", big);
  for (const std::string& f : {valico, InFolder("big.ini")}) {
    SCOPED_TRACE(f);
    size_t logged = log.lines().size();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(ini.LeggiINI("Varie", "A", "def", f), "def");
    EXPECT_EQ(log.lines().size(), logged + 1) << "the reason is logged once";
    EXPECT_FALSE(ini.ScriviINI("Varie", "A", "2", f));
  }
  EXPECT_TRUE(log.Contains("a folder"));
  EXPECT_TRUE(log.Contains("larger than 1048576 bytes"));
  EXPECT_TRUE(folder.Read("big.ini") == big) << "left as it was";
  EXPECT_FALSE(ini.ScriviINI("S", "k", "v", InFolder("no\\such\\a.ini")));
  EXPECT_FALSE(folder.Has("no")) << "no folder made";
}

// While a OneReading lives each file is read once. The store's own writes are seen by the
// reads after them, and the reading then holds the file as the write left it (with what
// another program wrote before); another program's write alone is seen once it ends.
TEST_F(IniStoreTest, OneReadingSeesItsOwnWritesAndOthersOnceItEnds) {
  WriteValico("A=1\r\nB=1\r\n");
  auto a = [&] { return ini.LeggiINI("Varie", "A", "", valico); };
  auto b = [&] { return ini.LeggiINI("Varie", "B", "", valico); };
  {
    IniStore::OneReading once(ini);
    EXPECT_EQ(a(), "1");
    WriteValico("A=2\r\nB=2\r\n");  // another program
    { IniStore::OneReading nested(ini); }
    EXPECT_EQ(b(), "1") << "one reading, kept past a nested one";
    EXPECT_TRUE(ini.ScriviINI("Varie", "A", "1", valico)) << "stored already, as it reads";
    EXPECT_EQ(b(), "1") << "so nothing was written";
    EXPECT_TRUE(ini.ScriviINI("Varie", "C", "3", InFolder("_VALICO.INI")));
    EXPECT_EQ(ini.LeggiINI("Varie", "C", "", valico), "3") << "its own write, by another name";
    EXPECT_EQ(b(), "2") << "the file as that write left it";
  }
  EXPECT_EQ(folder.Read("_Valico.ini"), "[Varie]\r\nA=2\r\nB=2\r\nC=3\r\n");
  WriteValico("A=4\r\n");
  EXPECT_EQ(a(), "4") << "read afresh once it ended";
}

}  // namespace
}  // namespace valico
