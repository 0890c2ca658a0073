#include "settings/ini_text.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "settings/ini_encoding.h"
#include "settings/ini_store.h"

namespace valico {
namespace {

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
