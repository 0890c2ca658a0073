#pragma once

// Reads and writes of INI files with what the platform's profile functions make of them. The
// store's tests check these cases on every system, and on Windows the same cases are checked
// against GetPrivateProfileString and WritePrivateProfileString.

#include <string>
#include <string_view>
#include <vector>

namespace valico::testing {

// A file as Notepad saves it "Unicode": the byte-order mark, then UTF-16LE.
inline std::string Utf16File(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  return bytes;
}

// How the platform's own functions compare with `expected`.
enum class OnPlatform {
  kSame,
  kWineDiffers,  // Windows gives `expected`, Wine something else
  kNotCompared,  // the store's own rule, where the platform is not followed or not known
};

struct IniReadCase {
  const char* name;
  std::string content;  // "": no file
  std::string section, key, fallback, expected;
  OnPlatform platform = OnPlatform::kSame;
};

struct IniWriteCase {
  const char* name;
  std::string content;  // "": no file
  std::string section, key;
  const char* value;  // null: remove the section
  std::string expected;
  OnPlatform platform = OnPlatform::kSame;
};

inline std::vector<IniReadCase> IniReadCases() {
  const std::string a = "[Varie]\r\nA=1\r\n", two = "[Varie]\r\nA=1\r\n[varie]\r\nA=2\r\nB=3\r\n";
  const std::string brackets = "[d]e] x]\r\nA=1\r\n", x300(300, 'x'), x254(254, 'x');
  return {
      {"missing key: the default", a, "Varie", "B", "d", "d"},
      {"missing section", a, "Altro", "A", "d", "d"},
      {"missing file", "", "Varie", "A", "d", "d"},
      {"a default loses its spaces, not its tabs", a, "Varie", "B", "d\t \t  ", "d\t \t"},
      {"blanks around names and value", "[ Varie ]\r\n \t A \t=\v 1 2 \t\r\n", "Varie", "A", "d",
       "1 2"},
      {"names passed in lose their spaces", a, " Varie ", " A ", "d", "1"},
      {"a tab stays part of a name passed in", a, "Varie", "A\t", "d", "d",
       OnPlatform::kWineDiffers},
      {"double quotes removed", "[Varie]\r\nA=\"x y \"\r\n", "Varie", "A", "d", "x y "},
      {"single quotes removed", "[Varie]\r\nA='x'\r\n", "Varie", "A", "d", "x"},
      {"mismatched quotes kept", "[Varie]\r\nA=\"x'\r\n", "Varie", "A", "d", "\"x'"},
      {"'#', ';' and '=' are no comments", "[Varie]\r\nSAB#0830=2#N ; x=y\r\n", "Varie", "sab#0830",
       "d", "2#N ; x=y"},
      {"the first of two keys", "[Varie]\r\nA=1\r\nA=2\r\n", "Varie", "A", "d", "1"},
      {"the first of two sections", two, "Varie", "A", "d", "1"},
      {"only the first of two sections", two, "Varie", "B", "d", "d"},
      {"a line without '='", "[Varie]\r\nA\r\n", "Varie", "A", "d", "d"},
      {"a comment line is no key", "[Varie]\r\n;A=1\r\n", "Varie", ";A", "d", "d",
       OnPlatform::kNotCompared},
      {"LF line ends", "[Varie]\nA=1\nB=2\n", "Varie", "B", "d", "2"},
      {"CR line ends", "[Varie]\rA=1\rB=2\r", "Varie", "B", "d", "2"},
      {"no line end at the end", "[Varie]\r\nA=1", "Varie", "A", "d", "1"},
      {"a key before any section", "A=0\r\n[Varie]\r\nB=1\r\n", "Varie", "A", "d", "d"},
      {"Windows-1252 bytes", "[Varie]\r\nA=luned\xEC \x80\r\n", "Varie", "A", "d",
       "luned\xEC \x80"},
      {"bytes above 127 fold case", "[Citt\xC0]\r\nN\xC9=1\r\n", "citt\xE0", "n\xE9", "d", "1",
       OnPlatform::kWineDiffers},
      {"long value cut to 254", "[Varie]\r\nA=" + x300 + "\r\n", "Varie", "A", "d", x254},
      {"long default cut to 254", a, "Varie", "B", x300, x254},
      {"a header name runs to the last ']'", brackets, "d]e] x", "A", "d", "1"},
      {"not to the first", brackets, "d", "A", "d", "d"},
      {"a comment after a header", "[abc] ; note\r\nA=1\r\n", "abc", "A", "d", "1"},
      {"a '[' line without ']' is a header", "[Varie\r\nA=1\r\n", "Varie", "A", "d", "1",
       OnPlatform::kWineDiffers},
      {"UTF-16LE file", Utf16File(u"; \u4E2D\r\n[Varie]\r\nCitt\u00E0=Forl\u00EC \u20AC\r\n"),
       "VARIE", "Citt\xE0", "d", "Forl\xEC \x80"},
  };
}

inline std::vector<IniWriteCase> IniWriteCases() {
  const std::string a = "[Varie]\r\nA=1\r\n", three = "[Varie]\r\nA=1\r\n[Altro]\r\nC=3\r\n";
  return {
      {"same value", a, "Varie", "A", "1", a},
      {"new key in a section", three, "Varie", "B", "2",
       "[Varie]\r\nA=1\r\nB=2\r\n[Altro]\r\nC=3\r\n"},
      {"new section", a, "Altro", "B", "2", a + "[Altro]\r\nB=2\r\n"},
      {"names passed in lose their spaces", a, " Altro ", " B ", "2", a + "[Altro]\r\nB=2\r\n",
       OnPlatform::kNotCompared},
      {"new file", "", "Varie", "A", "1", a},
      {"a changed key keeps the file's spelling", "[VARIE]\r\nchiave = 1\r\nB=2\r\n", "Varie",
       "CHIAVE", "2", "[VARIE]\r\nchiave=2\r\nB=2\r\n"},
      {"Windows-1252 bytes", "[Citt\xC0]\r\n", "Citt\xC0", "X", "luned\xEC \x80",
       "[Citt\xC0]\r\nX=luned\xEC \x80\r\n"},
      {"section removed", three + "[Fine]\r\nD=4\r\n", "Altro", "", nullptr,
       a + "[Fine]\r\nD=4\r\n"},
      {"missing section removed", a, "Altro", "", nullptr, a},
      {"only the first section of the name removed", "[A]\r\na=1\r\n[B]\r\n[a]\r\nx=1\r\n", "a", "",
       nullptr, "[B]\r\n[a]\r\nx=1\r\n"},
      {"the one section of a file removed", "[B]\r\nb=2", "B", "", nullptr, ""},
      {"blank lines kept", "[Varie]\r\nA=1\r\n\r\n[Altro]\r\n", "Varie", "A", "2",
       "[Varie]\r\nA=2\r\n\r\n[Altro]\r\n", OnPlatform::kWineDiffers},
      {"spaces around '=' of other keys kept", "[Varie]\r\nA = 1\r\nB=2\r\n", "Varie", "B", "3",
       "[Varie]\r\nA = 1\r\nB=3\r\n", OnPlatform::kWineDiffers},
      {"a new key after the last key, comments kept in place",
       "[Varie]\r\n; note\r\nA=1\r\n; end\r\n\r\n[Altro]\r\n", "Varie", "B", "2",
       "[Varie]\r\n; note\r\nA=1\r\nB=2\r\n; end\r\n\r\n[Altro]\r\n", OnPlatform::kWineDiffers},
      {"new key in an empty section", "[A]\r\n[B]\r\n", "A", "k", "v", "[A]\r\nk=v\r\n[B]\r\n"},
      {"new section after LF lines", "[Z]\nz=1\n", "Varie", "k", "", "[Z]\nz=1\n[Varie]\r\nk=\r\n",
       OnPlatform::kNotCompared},
      {"changed key on an unended last line gets its line end", "[Varie]\r\nA=1", "Varie", "A", "2",
       "[Varie]\r\nA=2\r\n"},
      {"new key after an unended last line", "[Varie]\r\nA=1", "Varie", "B", "2",
       "[Varie]\r\nA=1\r\nB=2\r\n"},
      {"a removed section's comments stay", "[Varie]\r\nA=1\r\n[Altro]\r\n; nota\r\nC=3\r\n",
       "Altro", "", nullptr, a + "; nota\r\n", OnPlatform::kWineDiffers},
      {"new key under a header with a comment", "[abc] ; note\r\nA=1\r\n", "abc", "B", "2",
       "[abc] ; note\r\nA=1\r\nB=2\r\n", OnPlatform::kWineDiffers},
      {"section whose name holds ']' removed", "[d]e] x]\r\nA=1\r\n[Fine]\r\n", "d]e] x", "",
       nullptr, "[Fine]\r\n"},
      {"a UTF-16LE file keeps what Windows-1252 lacks",
       Utf16File(u"; \u4E2D\r\n[Varie]\r\nCitt\u00E0=Forl\u00EC\r\nB=1\r\n"), "Varie", "B",
       "caff\xE8 \x80",
       Utf16File(u"; \u4E2D\r\n[Varie]\r\nCitt\u00E0=Forl\u00EC\r\nB=caff\u00E8 \u20AC\r\n")},
      {"new section in a UTF-16LE file", Utf16File(u"[Varie]\r\n"), "Altro", "C", "\xE8",
       Utf16File(u"[Varie]\r\n[Altro]\r\nC=\u00E8\r\n")},
      {"a line break in a value goes no further", "[Varie]\r\nA=1", "Varie", "A",
       "2\r\n[Evil]\r\nx=1", "[Varie]\r\nA=2\r\n", OnPlatform::kNotCompared},
  };
}

}  // namespace valico::testing
