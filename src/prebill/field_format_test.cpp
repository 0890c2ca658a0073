#include "prebill/field_format.h"

#include <gtest/gtest.h>

#include "platform/text_lines.h"

namespace valico {
namespace {

using Kind = FieldActionKind;

FieldAction Text(std::string text, std::string font, double size, bool bold = false,
                 bool red = false) {
  return {Kind::kPrintText, std::move(text), std::move(font), size, bold, red};
}
FieldAction Barcode(std::string digits) {
  return {Kind::kPrintBarcode, std::move(digits), "JAN13(EAN)", 18};
}
FieldAction End(std::string text, std::string font, double size) {
  return {Kind::kEndReceipt, std::move(text), std::move(font), size};
}

std::string Show(const FieldAction& a) {
  const char* kind[] = {"text", "barcode", "end"};
  return std::string(kind[static_cast<int>(a.kind)]) + " \"" + a.text + "\" font \"" + a.font +
         "\" size " + std::to_string(a.size) + (a.bold ? " bold" : "") + (a.red ? " red" : "");
}

// Reads the lines with one reader and returns the action of the last.
FieldAction LastAction(PrinterFamily family, const std::vector<std::string>& lines) {
  FieldFormatReader reader(family, RegionalFor("it_IT"));
  FieldAction a;
  for (const auto& line : lines) a = reader.Read(line);
  return a;
}

struct Case {
  const char* name;
  std::vector<std::string> lines;
  FieldAction expected;
};

void Check(PrinterFamily family, const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FieldAction got = LastAction(family, c.lines);
    EXPECT_EQ(got, c.expected) << Show(got) << "\nexpected " << Show(c.expected);
  }
}

TEST(FieldFormatTest, SplitsFieldsAtHashes) {
  using F = std::vector<std::string_view>;
  struct {
    const char* line;
    F fields;
  } cases[] = {
      {"A#B", F{"A", "B"}},
      {"A#", F{"A"}},
      {"#B", F{"", "B"}},
      {"A##B", F{"A", "", "B"}},
      {"", F{}},
      {"#", F{""}},
      {"##", F{"", ""}},
      {"A#B#", F{"A", "B"}},
      {"A", F{"A"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitFields(c.line), c.fields) << c.line;
}

TEST(FieldFormatTest, FamilyComesFromTheDeviceName) {
  EXPECT_EQ(PrinterFamilyOf("SAMSUNG SRP-500"), PrinterFamily::k500);
  EXPECT_EQ(PrinterFamilyOf("Bixolon SRP-350plus"), PrinterFamily::k350);
  EXPECT_EQ(PrinterFamilyOf("SRP-350 500"), PrinterFamily::k500);  // 500 wins
  EXPECT_EQ(PrinterFamilyOf("SAMSUNG SRP-103"), PrinterFamily::k103);
  EXPECT_EQ(PrinterFamilyOf(""), PrinterFamily::k103);
}

TEST(FieldFormatTest, Family500Fields) {
  Check(PrinterFamily::k500,
        {
            {"plain total", {"Totale#0#9#0#0#N"}, Text("Totale", "FontA15cpi", 9)},
            {"Formato 1 is large", {"Totale#0#9#1"}, Text("Totale", "FontA15cpi", 18)},
            {"bold red large", {"Totale#0#18#1#1#R"}, Text("Totale", "FontA15cpi", 18, true, true)},
            {"Dimensione 8 picks the narrow font", {"X#0#8#0"}, Text("X", "FontB17cpi", 9)},
            {"narrow font whatever Formato", {"X#0#8#5"}, Text("X", "FontB17cpi", 9)},
            {"Formato 13 is small", {"X#0#18#13"}, Text("X", "FontA15cpi", 9)},
            {"Formato text is small", {"X#0#18#abc"}, Text("X", "FontA15cpi", 9)},
            {"Formato empty is small", {"X#0#18##1"}, Text("X", "FontA15cpi", 9, true)},
            {"Formato rounded down to 1", {"X#0#9#1,9"}, Text("X", "FontA15cpi", 18)},
            {"Formato 13,5 rounds down to 13", {"X#0#9#13,5"}, Text("X", "FontA15cpi", 9)},
            {"Formato -0,5 rounds down to -1", {"X#0#9#-0,5"}, Text("X", "FontA15cpi", 18)},
            {"no Formato: size from Dimensione, no font", {"X#0#18"}, Text("X", "", 18)},
            {"Dimensione compared as text", {"X#0#8,0"}, Text("X", "", 9)},
            {"Dimensione anything else is 9", {"X#0#12"}, Text("X", "", 9)},
            {"empty Testo prints a", {"#0"}, Text("a", "", 0)},
            {"TipoRiga 1 ends the receipt", {"#1"}, End("a", "", 0)},
            {"any other TipoRiga ends it", {"X#7"}, End("X", "", 0)},
            {"TipoRiga 0,9 rounds down to 0", {"X#0,9"}, Text("X", "", 0)},
            {"TipoRiga -0,5 rounds down to -1", {"X#-0,5"}, End("X", "", 0)},
            {"Grassetto 1,7 is bold", {"X#0#9#0#1,7"}, Text("X", "FontA15cpi", 9, true)},
            {"Grassetto 2 is not bold", {"X#0#9#0#2"}, Text("X", "FontA15cpi", 9)},
            {"colour letter with case", {"X#0#9#0#0#r"}, Text("X", "FontA15cpi", 9)},
            {"fields beyond six ignored",
             {"X#0#9#0#0#R#1#5"},
             Text("X", "FontA15cpi", 9, false, true)},
            {"first line empty prints nothing new", {""}, Text("", "", 0)},
        });
}

TEST(FieldFormatTest, Family350Fields) {
  Check(
      PrinterFamily::k350,
      {
          {"starts in FontA1x1 size 10", {"Coperti 2"}, Text("Coperti 2", "FontA1x1", 10)},
          {"Dimensione other number is 14", {"Coperti 2#0#9#0"}, Text("Coperti 2", "FontA1x1", 14)},
          {"Dimensione 8 is 10", {"X#0#8#0"}, Text("X", "FontA1x1", 10)},
          {"Dimensione 8,0 equals 8", {"X#0#8,0"}, Text("X", "FontA1x1", 10)},
          {"Dimensione 8,5 is another number", {"X#0#8,5"}, Text("X", "FontA1x1", 14)},
          {"Dimensione empty is 10", {"X#0#9", "X#0##"}, Text("X", "FontA1x1", 10)},
          {"Dimensione text is 10", {"X#0#9", "X#0#abc"}, Text("X", "FontA1x1", 10)},
          {"thirteen digits in barcode font", {"8001234567890#0#9#13"}, Barcode("8001234567890")},
          {"Formato 1 is FontA1x1", {"X#0#9#13", "X#0#9#1"}, Text("X", "FontA1x1", 14)},
          {"Formato text is FontA1x1", {"X#0#9#13", "X#0#9#zz"}, Text("X", "FontA1x1", 14)},
          {"Formato 5 keeps the font", {"X#0#9#13", "Y#0#9#5"}, Barcode("Y")},
          {"Formato 13,9 rounds down to 13", {"X#0#9#13,9"}, Barcode("X")},
          {"TipoRiga 1 ends the receipt", {"#1"}, End("", "FontA1x1", 10)},
          {"TipoRiga 2 prints", {"X#2"}, Text("X", "FontA1x1", 10)},
          {"TipoRiga 1,5 rounds down to 1", {"X#1,5"}, End("X", "FontA1x1", 10)},
          {"empty Testo stays empty", {"#0"}, Text("", "FontA1x1", 10)},
          {"Grassetto and Colore not read", {"X#0#9#0#1#R"}, Text("X", "FontA1x1", 14)},
      });
}

TEST(FieldFormatTest, Family103Fields) {
  Check(PrinterFamily::k103,
        {
            {"empty Dimensione counts as 8", {"Coperto#0##0"}, Text("Coperto", "FontB1x1", 7)},
            {"Formato 1 is FontB1x2", {"X#0#9#1"}, Text("X", "FontB1x2", 14)},
            {"Formato text is FontB1x1", {"X#0#9#1", "X#0#9#x"}, Text("X", "FontB1x1", 14)},
            {"no font chosen yet", {"X#0#9"}, Text("X", "", 14)},
            {"size 7 always narrow", {"X#0#9#1", "Y#0#8"}, Text("Y", "FontB1x1", 7)},
            {"size 7 keeps narrow for later",
             {"X#0#9#1", "Y#0#8", "Z#0#9"},
             Text("Z", "FontB1x1", 14)},
            {"barcode", {"8001234567890#0#9#13"}, Barcode("8001234567890")},
            {"size 8 after a barcode, with Formato",
             {"8001234567890#0#9#13", "Acqua#0#8#0"},
             Text("Acqua", "FontB1x1", 7)},
            {"size 8 after a barcode keeps the barcode font",
             {"8001234567890#0#9#13", "12#0#8"},
             Barcode("12")},
            {"end carries the font", {"X#0#9#1", "#1"}, End("", "FontB1x2", 14)},
            {"Formato 7 keeps the font", {"X#0#9#1", "X#0#9#7"}, Text("X", "FontB1x2", 14)},
        });
}

TEST(FieldFormatTest, FieldsCarryOverAndEmptyLinesRepeat) {
  Check(
      PrinterFamily::k500,
      {
          {"text alone keeps font and size",
           {"Pizza#0#9#1", "Birra"},
           Text("Birra", "FontA15cpi", 18)},
          {"empty line prints the text again",
           {"Pizza#0#9#1", "Birra", ""},
           Text("Birra", "FontA15cpi", 18)},
          {"empty line ends the receipt again", {"X#0#9#0", "#1", ""}, End("a", "FontA15cpi", 9)},
          {"bold and red carry over", {"X#0#9#0#1#R", "Y"}, Text("Y", "FontA15cpi", 9, true, true)},
          {"TipoRiga carries over", {"#1", "Y"}, End("Y", "", 0)},
          {"TipoRiga text keeps the end", {"#1", "Y#x"}, End("Y", "", 0)},
          {"# at the end keeps TipoRiga", {"#1", "Y#"}, End("Y", "", 0)},
          {"TipoRiga empty field prints", {"#1", "Y##9"}, Text("Y", "", 9)},
          {"Grassetto text keeps bold",
           {"X#0#9#0#1", "Y#0#9#0#x"},
           Text("Y", "FontA15cpi", 9, true)},
          {"Grassetto empty clears bold",
           {"X#0#9#0#1", "Y#0#9#0##R"},
           Text("Y", "FontA15cpi", 9, false, true)},
          {"# at the end keeps Colore",
           {"X#0#9#0#0#R", "Y#0#9#0#0#"},
           Text("Y", "FontA15cpi", 9, false, true)},
          {"Colore empty field is black",
           {"X#0#9#0#0#R", "Y#0#9#0#0##"},
           Text("Y", "FontA15cpi", 9)},
          {"Dimensione without Formato changes the size only",
           {"X#0#9#1", "Y#0#8"},
           Text("Y", "FontA15cpi", 8)},
      });
  Check(PrinterFamily::k350, {
                                 {"text alone keeps font and size",
                                  {"Pizza#0#9#0", "Birra"},
                                  Text("Birra", "FontA1x1", 14)},
                                 {"empty line prints the text again",
                                  {"Pizza#0#9#0", "Birra", ""},
                                  Text("Birra", "FontA1x1", 14)},
                                 {"barcode font carries over",
                                  {"8001234567890#0#9#13", "8009876543210"},
                                  Barcode("8009876543210")},
                             });
}

// The reader must take any prefix of a job, line ends and fields cut anywhere.
TEST(FieldFormatTest, EveryTruncationOfAJobReads) {
  const std::string job =
      "Conto#0#9#0#0#N\r\nTotale#0#18#1#1#R\r\n\r\n8001234567890#0#9#13\r\n"
      "Coperto#0##0\r\n#\r\n##\r\nX#-1,5#8,0#1,9#abc#\r\n\xA7"
      "D#0\n#1\r\n#1";
  for (size_t n = 0; n <= job.size(); ++n) {
    std::vector<std::string> lines = SplitTextLines(job.substr(0, n));
    for (PrinterFamily f : {PrinterFamily::k500, PrinterFamily::k350, PrinterFamily::k103}) {
      FieldFormatReader reader(f, RegionalFor("it_IT"));
      for (const auto& line : lines) {
        FieldAction a = reader.Read(line);
        if (a.kind == Kind::kPrintBarcode) {
          ASSERT_EQ(a.font, "JAN13(EAN)") << n;
        }
      }
    }
  }
  // The whole job ends the receipt in every family.
  std::vector<std::string> lines = SplitTextLines(job);
  for (PrinterFamily f : {PrinterFamily::k500, PrinterFamily::k350, PrinterFamily::k103})
    EXPECT_EQ(LastAction(f, lines).kind, Kind::kEndReceipt) << FamilyName(f);
}

}  // namespace
}  // namespace valico
