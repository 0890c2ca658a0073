#include "settings/ini_text.h"

#include <gtest/gtest.h>

namespace valico {
namespace {

std::string Find(std::string_view content, std::string_view section, std::string_view key) {
  return IniFind(content, section, key).value_or("<missing>");
}

TEST(IniTextTest, ReadsLikeTheProfileFunctions) {
  const std::string ini =
      "top=before any header\r\n"
      "; comment=not a key\r\n"
      "  [ Varie ]  trailing text\r\n"
      "  Key1 \t=\v value one \t\r\n"
      "key2=a=b=c\r\n"
      "quoted=\"in quotes\"\r\n"
      "single='x'\r\n"
      "mismatched=\"x'\r\n"
      "empty=\r\n"
      "noequals\r\n"
      "SAB#0830=2#NOTTE#\r\n"
      "hash=# not a comment ; nor this\r\n"
      "Key1=second wins never\r\n"
      "[VARIE]\r\n"
      "other=in the second section of the same name\r\n"
      "[Unclosed\r\n"
      "u=1\r\n";
  EXPECT_EQ(Find(ini, "Varie", "top"), "<missing>");
  EXPECT_EQ(Find(ini, "Varie", "comment"), "<missing>");
  EXPECT_EQ(Find(ini, "varie", "KEY1"), "value one");
  EXPECT_EQ(Find(ini, "Varie", "key2"), "a=b=c");
  EXPECT_EQ(Find(ini, "Varie", "quoted"), "in quotes");
  EXPECT_EQ(Find(ini, "Varie", "single"), "x");
  EXPECT_EQ(Find(ini, "Varie", "mismatched"), "\"x'");
  EXPECT_EQ(Find(ini, "Varie", "empty"), "");
  EXPECT_EQ(Find(ini, "Varie", "noequals"), "<missing>");
  EXPECT_EQ(Find(ini, "Varie", "SAB#0830"), "2#NOTTE#");
  EXPECT_EQ(Find(ini, "Varie", "hash"), "# not a comment ; nor this");
  EXPECT_EQ(Find(ini, "VARIE", "other"), "<missing>") << "only the first section is searched";
  EXPECT_EQ(Find(ini, "Unclosed", "u"), "1") << "a header without ] runs to the line end";
  EXPECT_EQ(Find(ini, " Varie ", " key1 "), "value one") << "names passed in lose their spaces";
  EXPECT_EQ(Find(ini, "Varie", "Key1\t"), "<missing>") << "but keep their tabs";
  EXPECT_EQ(Find(ini, "Missing", "x"), "<missing>");
}

TEST(IniTextTest, AnyLineEndWorksAndTheLastLineNeedsNone) {
  for (const char* eol : {"\r\n", "\r", "\n"}) {
    std::string ini = std::string("[S]") + eol + "a=1" + eol + "b=2" + eol + "c=3";
    EXPECT_EQ(Find(ini, "S", "a"), "1") << "eol " << int(eol[0]);
    EXPECT_EQ(Find(ini, "S", "b"), "2");
    EXPECT_EQ(Find(ini, "S", "c"), "3");
  }
}

TEST(IniTextTest, BytesAbove127PassThroughAndFoldCase) {
  std::string ini = "[Citt\xC0]\r\nN\xC9=caff\xE8\r\n";
  EXPECT_EQ(Find(ini, "citt\xE0", "n\xE9"), "caff\xE8");
  bool changed;
  std::string out = IniSet(ini, "Citt\xC0", "X", "\xA7\xFF", &changed);
  EXPECT_EQ(Find(out, "Citt\xC0", "x"), "\xA7\xFF");
}

TEST(IniTextTest, WritesEditOnlyTheLineThatChanges) {
  const std::string ini =
      "; header comment\r\n"
      "[Varie]\r\n"
      "MF_Vuoto = -1\r\n"
      "\r\n"
      "Other=x\r\n"
      "; trailing comment\r\n"
      "\r\n"
      "[Next]\r\n"
      "k=v";
  bool changed = true;
  struct Case {
    const char* name;
    const char* section;
    const char* key;
    const char* value;
    std::string expected;
    bool changed;
  };
  const Case cases[] = {
      {"same value leaves the file alone", "VARIE", "mf_vuoto", "-1", ini, false},
      {"changed value keeps the file's spelling", "VARIE", "mf_vuoto", "0",
       "; header comment\r\n[Varie]\r\nMF_Vuoto=0\r\n\r\nOther=x\r\n; trailing comment\r\n\r\n"
       "[Next]\r\nk=v",
       true},
      {"new key goes after the section's last key", "varie", "New", "1",
       "; header comment\r\n[Varie]\r\nMF_Vuoto = -1\r\n\r\nOther=x\r\nNew=1\r\n"
       "; trailing comment\r\n\r\n[Next]\r\nk=v",
       true},
      {"new key after an unended last line", "Next", "z", "9",
       "; header comment\r\n[Varie]\r\nMF_Vuoto = -1\r\n\r\nOther=x\r\n; trailing comment\r\n"
       "\r\n[Next]\r\nk=v\r\nz=9\r\n",
       true},
      {"new section at the end", " New ", " a ", "b", ini + "\r\n[New]\r\na=b\r\n", true},
      {"a line break in a value goes no further; an unended last line gets its CR LF", "Next", "k",
       "v2\r\n[Evil]\r\nx=1",
       "; header comment\r\n[Varie]\r\nMF_Vuoto = -1\r\n\r\nOther=x\r\n; trailing comment\r\n"
       "\r\n[Next]\r\nk=v2\r\n",
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IniSet(ini, c.section, c.key, c.value, &changed), c.expected);
    EXPECT_EQ(changed, c.changed);
  }
}

TEST(IniTextTest, NewKeyInEmptySectionAndNewFile) {
  bool changed;
  EXPECT_EQ(IniSet("[A]\r\n[B]\r\n", "A", "k", "v", &changed), "[A]\r\nk=v\r\n[B]\r\n");
  EXPECT_EQ(IniSet("", "Varie", "k", "v", &changed), "[Varie]\r\nk=v\r\n");
  EXPECT_EQ(IniSet("[Z]\nz=1\n", "Varie", "k", "", &changed), "[Z]\nz=1\n[Varie]\r\nk=\r\n");
}

TEST(IniTextTest, RemovingASectionTakesItsHeaderAndKeysButNotItsComments) {
  bool changed;
  const std::string ini = "[A]\r\na=1\r\n; note\r\n[B]\r\nb=2\r\n[a]\r\nx=1\r\n";
  EXPECT_EQ(IniRemoveSection(ini, "a", &changed), "; note\r\n[B]\r\nb=2\r\n[a]\r\nx=1\r\n");
  EXPECT_TRUE(changed);
  EXPECT_EQ(IniRemoveSection(ini, "missing", &changed), ini);
  EXPECT_FALSE(changed);
  EXPECT_EQ(IniRemoveSection("[B]\r\nb=2", "B", &changed), "");
}

}  // namespace
}  // namespace valico
