#include "settings/ini_text.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "settings/ini_encoding.h"
#include "settings/ini_store.h"

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
      "[Custom KUBE Ric. Fisc. [A]]\r\nk=kube\r\n"
      "[d]e] x]\r\nk=de\r\n"
      "[abc] ; note\r\nk=abc\r\n"
      "[Unclosed\r\n"
      "u=1\r\n"
      "[Citt\xC0]\r\nN\xC9=caff\xE8\r\n";
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
  EXPECT_EQ(Find(ini, "custom kube ric. fisc. [a]", "k"), "kube") << "a name runs to the last ]";
  EXPECT_EQ(Find(ini, "d]e] x", "k"), "de");
  EXPECT_EQ(Find(ini, "d", "k"), "<missing>");
  EXPECT_EQ(Find(ini, "abc", "k"), "abc");
  EXPECT_EQ(Find(ini, "Unclosed", "u"), "1") << "a header without ] runs to the line end";
  EXPECT_EQ(Find(ini, " Varie ", " key1 "), "value one") << "names passed in lose their spaces";
  EXPECT_EQ(Find(ini, "Varie", "Key1\t"), "<missing>") << "but keep their tabs";
  EXPECT_EQ(Find(ini, "Missing", "x"), "<missing>");
  EXPECT_EQ(Find(ini, "citt\xE0", "n\xE9"), "caff\xE8") << "bytes above 127 fold case too";
}

TEST(IniTextTest, AnyLineEndWorksAndTheLastLineNeedsNone) {
  for (std::string eol : {"\r\n", "\r", "\n"}) {
    std::string ini = "[S]" + eol + "a=1" + eol + "b=2" + eol + "c=3";
    EXPECT_EQ(Find(ini, "S", "a") + Find(ini, "S", "b") + Find(ini, "S", "c"), "123")
        << int(eol[0]);
  }
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
  EXPECT_EQ(IniSet("[P [A]] ; x\r\nk=v\r\n", "P [A]", "n", "1", &changed),
            "[P [A]] ; x\r\nk=v\r\nn=1\r\n");
  EXPECT_EQ(IniSet("[Citt\xC0]\r\n", "citt\xE0", "X", "\xA7\xFF", &changed),
            "[Citt\xC0]\r\nX=\xA7\xFF\r\n");
}

TEST(IniTextTest, RemovingASectionTakesItsHeaderAndKeysButNotItsComments) {
  bool changed;
  const std::string ini = "[A]\r\na=1\r\n; note\r\n[B]\r\nb=2\r\n[a]\r\nx=1\r\n";
  EXPECT_EQ(IniRemoveSection(ini, "a", &changed), "; note\r\n[B]\r\nb=2\r\n[a]\r\nx=1\r\n");
  EXPECT_TRUE(changed);
  EXPECT_EQ(IniRemoveSection(ini, "missing", &changed), ini);
  EXPECT_FALSE(changed);
  EXPECT_EQ(IniRemoveSection("[B]\r\nb=2", "B", &changed), "");
  EXPECT_EQ(IniRemoveSection("[d]e] x]\r\nk=v\r\n[B]\r\n", "d]e] x", &changed), "[B]\r\n");
}

// A compact picture of the sections: "[name] key=value ... (bare line) ..." per section.
std::string Picture(const std::vector<IniSection>& sections) {
  std::string out;
  for (const IniSection& s : sections) {
    out += "[" + s.name + "]";
    for (const IniEntry& e : s.entries) out += " " + e.key + "=" + e.value;
    for (const std::string& b : s.lines_without_equals) out += " (" + b + ")";
    out += "\n";
  }
  return out;
}

TEST(IniTextTest, SectionsComeInFileOrderWithEveryEntry) {
  EXPECT_EQ(Picture(IniSections("top=1\r\n[A] ; x\r\n k = \"v\" \r\n; c=1\r\nbare\r\nk=2\r\n"
                                "[a]\nj=\n[P [1]]\rq='x'")),
            "[A] k=v k=2 (bare)\n[a] j=\n[P [1]] q=x\n");
  EXPECT_EQ(Picture(IniFileSections(FileFromUtf16(u"[A]\n\u00e8=\u20ac"))), "[A] \xE8=\x80\n")
      << "UTF-16 narrowed to Windows-1252";
}

// What IniFind answers is the first entry of the key in the first section of the name that
// IniSections lists, for every name in the text and for names it lacks.
TEST(IniTextTest, IniFindAgreesWithIniSections) {
  const std::string texts[] = {
      "[S]\r\na=1\r\na=2\r\n[s]\r\na=3\r\nb=4\r\n[T]\r\nb=5",
      "[S]\na\nA=\"q\"\n\t B\t=\t' x '\t\n\n[ S ]\rc=1\r\n[]\nd=e=f",
      "x=0\r[S]\r\n;a=1\r\n  [T] ; c\r\n=v\r\n[\xC0\xE0]\r\n\xC9=\xE9\r\n[\xE0\xE0]\r\nz=1",
      "[a]b]\na=1\n[a\nb=2\n[a]b]]\nc=3\r\n\r\n\v[S]\v\nk\t=\"\"\n",
      FileFromUtf16(u"[S]\r\na=\u20ac\r[s]\na=2"),
  };
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    std::vector<IniSection> sections = IniFileSections(text);
    std::vector<std::string> names = {"missing"}, keys = {"missing"};
    for (const IniSection& s : sections) {
      names.push_back(s.name);
      for (const IniEntry& e : s.entries) keys.push_back(e.key);
    }
    for (const std::string& name : names) {
      for (const std::string& key : keys) {
        std::string expected = "<missing>";
        auto s = std::find_if(sections.begin(), sections.end(),
                              [&](const IniSection& x) { return IniNamesEqual(x.name, name); });
        if (s != sections.end()) {
          auto e = std::find_if(s->entries.begin(), s->entries.end(),
                                [&](const IniEntry& x) { return IniNamesEqual(x.key, key); });
          if (e != s->entries.end()) expected = e->value;
        }
        EXPECT_EQ(IniStore::LeggiINIIn(text, name, key, "<missing>"), expected)
            << name << "/" << key;
      }
    }
  }
}

}  // namespace
}  // namespace valico
