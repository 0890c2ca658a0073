#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

#include "platform/testing/test_platform.h"
#include "platform/testing/wine_win32.h"
#include "settings/ini_store.h"

// Our settings store against the platform's own profile functions, on the same files. Where
// Wine's implementation is known to differ from Windows, our store follows Windows: those cases
// name the Windows result, which is asserted against our store directly under Wine and
// compared with the platform on Windows.

namespace valico {
namespace {

// Every case gets files of its own: the platform caches profile files it has read.
class IniAgainstPlatform : public ::testing::Test {
 protected:
  std::string NewFile(const std::string& content) {
    std::string name = "f" + std::to_string(++files_) + ".ini";
    t_.folder.Write(name, content);
    return t_.folder / name;
  }
  std::string PlatformRead(const std::string& section, const std::string& key,
                           const std::string& fallback, const std::string& file) {
    char buf[255];
    DWORD n = ::GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(), buf,
                                         sizeof(buf), file.c_str());
    return std::string(buf, n);
  }
  std::string Read(const std::string& file) {
    std::string out;
    t_.files.ReadAll(file, &out, nullptr);
    return out;
  }

  testing::TestPlatform t_;
  IniStore store_{t_.files, t_.regional, t_.log};
  const bool wine_ = testing::RunningUnderWine();

 private:
  int files_ = 0;
};

const std::string kLong(300, 'x');

// A file as Notepad saves it "Unicode": the byte-order mark, then UTF-16LE.
std::string Utf16File(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  return bytes;
}

TEST_F(IniAgainstPlatform, ReadsWithA255CharacterBuffer) {
  struct Case {
    const char* name;
    std::string content;
    std::string section, key, fallback;
    // Set where Wine reads differently: what Windows (and our store) reads.
    std::optional<std::string> windows_only;
  } cases[] = {
      {"plain value", "[Varie]\r\nA=1\r\n", "Varie", "A", "d", std::nullopt},
      {"missing key: the default", "[Varie]\r\nA=1\r\n", "Varie", "B", "d", std::nullopt},
      {"missing section", "[Varie]\r\nA=1\r\n", "Altro", "A", "d", std::nullopt},
      {"missing file", "", "Varie", "A", "d", std::nullopt},
      {"default loses trailing blanks", "[Varie]\r\n", "Varie", "A", "def  ", std::nullopt},
      {"names ignore letter case", "[VARIE]\r\nChiave=v\r\n", "varie", "CHIAVE", "d", std::nullopt},
      {"blanks around name and value", "[ Varie ]\r\n  A  =  1 2  \r\n", "Varie", "A", "d",
       std::nullopt},
      {"double quotes removed", "[Varie]\r\nA=\"x y \"\r\n", "Varie", "A", "d", std::nullopt},
      {"single quotes removed", "[Varie]\r\nA='x'\r\n", "Varie", "A", "d", std::nullopt},
      {"unbalanced quote kept", "[Varie]\r\nA=\"x\r\n", "Varie", "A", "d", std::nullopt},
      {"empty value", "[Varie]\r\nA=\r\n", "Varie", "A", "d", std::nullopt},
      {"value with '='", "[Varie]\r\nA=b=c\r\n", "Varie", "A", "d", std::nullopt},
      {"first of two keys", "[Varie]\r\nA=1\r\nA=2\r\n", "Varie", "A", "d", std::nullopt},
      {"first of two sections", "[Varie]\r\nA=1\r\n[varie]\r\nA=2\r\nB=3\r\n", "Varie", "A", "d",
       std::nullopt},
      {"line without '='", "[Varie]\r\nA\r\n", "Varie", "A", "d", std::nullopt},
      {"LF line ends", "[Varie]\nA=1\nB=2\n", "Varie", "B", "d", std::nullopt},
      {"no line end at the end", "[Varie]\r\nA=1", "Varie", "A", "d", std::nullopt},
      {"key before any section", "A=0\r\n[Varie]\r\nA=1\r\n", "Varie", "A", "d", std::nullopt},
      {"Windows-1252 bytes", "[Varie]\r\nGiorno=luned\xEC \x80\r\n", "Varie", "Giorno", "d",
       std::nullopt},
      {"long value cut to 254", "[Varie]\r\nA=" + kLong + "\r\n", "Varie", "A", "d", std::nullopt},
      {"long default cut to 254", "[Varie]\r\n", "Varie", "A", kLong, std::nullopt},
      {"header name runs to the last ']'", "[Varie]x]\r\nA=1\r\n", "Varie", "A", "d", std::nullopt},
      {"brackets in a header name", "[Custom KUBE Ric. Fisc. [A]]\r\nA=1\r\n",
       "Custom KUBE Ric. Fisc. [A]", "A", "d", std::nullopt},
      {"']' inside a header name", "[d]e] x]\r\nA=1\r\n", "d]e] x", "A", "d", std::nullopt},
      {"a comment after a header", "[abc] ; note\r\nA=1\r\n", "abc", "A", "d", std::nullopt},
      {"'[' line without ']' is a header", "[Varie\r\nA=1\r\n", "Varie", "A", "d",
       std::string("1")},
      {"a tab stays part of a name passed in", "[Varie]\r\nA=1\r\n", "Varie", "A\t", "d",
       std::string("d")},
      {"a default loses its spaces, not its tabs", "[Varie]\r\n", "Varie", "A", "d\t \t ",
       std::nullopt},
      {"UTF-16LE file", Utf16File(u"[Varie]\r\nA=caff\u00e8 \u20ac\r\n"), "Varie", "A", "d",
       std::nullopt},
  };
  for (const Case& c : cases) {
    std::string file = c.content.empty() ? t_.folder / "none.ini" : NewFile(c.content);
    std::string ours = store_.LeggiINI(c.section, c.key, c.fallback, file);
    if (c.windows_only && wine_) {
      EXPECT_NE(PlatformRead(c.section, c.key, c.fallback, file), *c.windows_only)
          << c.name << ": Wine now agrees with Windows; drop the expected difference";
      EXPECT_EQ(ours, *c.windows_only) << c.name;
    } else {
      EXPECT_EQ(ours, PlatformRead(c.section, c.key, c.fallback, file)) << c.name;
    }
  }
}

TEST_F(IniAgainstPlatform, WritesNewAndChangedKeysAndRemovesSections) {
  struct Case {
    const char* name;
    std::string content;
    std::string section, key;
    const char* value;  // null: remove the section
    // Set where Wine writes differently: the file as Windows (and our store) leaves it.
    std::optional<std::string> windows_only;
  } cases[] = {
      {"changed key", "[Varie]\r\nA=1\r\nB=2\r\n", "Varie", "A", "9", std::nullopt},
      {"same value", "[Varie]\r\nA=1\r\n", "Varie", "A", "1", std::nullopt},
      {"new key in a section", "[Varie]\r\nA=1\r\n[Altro]\r\nC=3\r\n", "Varie", "B", "2",
       std::nullopt},
      {"new section", "[Varie]\r\nA=1\r\n", "Altro", "B", "2", std::nullopt},
      {"new file", "", "Varie", "A", "1", std::nullopt},
      {"key of other case", "[VARIE]\r\nchiave=1\r\n", "Varie", "CHIAVE", "2", std::nullopt},
      {"empty value", "[Varie]\r\nA=1\r\n", "Varie", "A", "", std::nullopt},
      {"Windows-1252 bytes", "[Varie]\r\nA=1\r\n", "Varie", "A", "luned\xEC \x80", std::nullopt},
      {"section removed", "[Varie]\r\nA=1\r\n[Altro]\r\nC=3\r\n[Fine]\r\nD=4\r\n", "Altro", "",
       nullptr, std::nullopt},
      {"missing section removed", "[Varie]\r\nA=1\r\n", "Altro", "", nullptr, std::nullopt},
      {"blank lines kept", "[Varie]\r\nA=1\r\n\r\n[Altro]\r\nC=3\r\n", "Varie", "A", "2",
       std::string("[Varie]\r\nA=2\r\n\r\n[Altro]\r\nC=3\r\n")},
      {"spaces around '=' of other keys kept", "[Varie]\r\nA = 1\r\nB=2\r\n", "Varie", "B", "3",
       std::string("[Varie]\r\nA = 1\r\nB=3\r\n")},
      {"comments kept in place", "[Varie]\r\n; note\r\nA=1\r\n\r\n", "Varie", "B", "2",
       std::string("[Varie]\r\n; note\r\nA=1\r\nB=2\r\n\r\n")},
      {"changed key on an unended last line gets its line end", "[Varie]\r\nA=1", "Varie", "A", "2",
       std::nullopt},
      {"a removed section's comments stay",
       "[Varie]\r\nA=1\r\n[Altro]\r\n; nota\r\nC=3\r\n[Fine]\r\nD=4\r\n", "Altro", "", nullptr,
       std::string("[Varie]\r\nA=1\r\n; nota\r\n[Fine]\r\nD=4\r\n")},
      {"new key in a section whose name holds brackets", "[Custom KUBE Ric. Fisc. [A]]\r\nA=1\r\n",
       "Custom KUBE Ric. Fisc. [A]", "B", "2", std::nullopt},
      {"new key under a header with a comment", "[abc] ; note\r\nA=1\r\n", "abc", "B", "2",
       std::string("[abc] ; note\r\nA=1\r\nB=2\r\n")},
      {"section whose name holds ']' removed", "[d]e] x]\r\nA=1\r\n[Fine]\r\nD=4\r\n", "d]e] x", "",
       nullptr, std::nullopt},
      {"UTF-16LE file stays UTF-16LE", Utf16File(u"[Varie]\r\nA=1\r\n"), "Varie", "A",
       "caff\xe8 \x80", std::nullopt},
  };
  for (const Case& c : cases) {
    std::string ours = c.content.empty() ? t_.folder / "new-ours.ini" : NewFile(c.content);
    std::string theirs = c.content.empty() ? t_.folder / "new-theirs.ini" : NewFile(c.content);
    // Our store: an empty key removes the section.
    EXPECT_TRUE(store_.ScriviINI(c.section, c.value ? c.key : "", c.value ? c.value : "", ours))
        << c.name;
    ASSERT_TRUE(::WritePrivateProfileStringA(c.section.c_str(), c.value ? c.key.c_str() : nullptr,
                                             c.value, theirs.c_str()))
        << c.name;
    ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, theirs.c_str());  // flush the cache
    if (c.windows_only && wine_) {
      EXPECT_NE(Read(theirs), *c.windows_only)
          << c.name << ": Wine now agrees with Windows; drop the expected difference";
      EXPECT_EQ(Read(ours), *c.windows_only) << c.name;
    } else {
      EXPECT_EQ(Read(ours), Read(theirs)) << c.name;
    }
    // Whatever the bytes, both must read back the value written.
    if (c.value) {
      EXPECT_EQ(store_.LeggiINI(c.section, c.key, "?", ours), c.value) << c.name;
      EXPECT_EQ(PlatformRead(c.section, c.key, "?", theirs), c.value) << c.name;
    }
  }
}

}  // namespace
}  // namespace valico
