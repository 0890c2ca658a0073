#include "prebill/field_format.h"

#include <gtest/gtest.h>

#include "core/text_lines.h"

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

constexpr PrinterFamily k500 = PrinterFamily::k500, k350 = PrinterFamily::k350,
                        k103 = PrinterFamily::k103;

TEST(FieldFormatTest, SplitsFieldsAtHashesAndNamesTheFamily) {
  using F = std::vector<std::string_view>;
  struct {
    const char* line;
    F fields;
  } cases[] = {
      {"A##B", F{"A", "", "B"}}, {"#B", F{"", "B"}},    {"", F{}},
      {"##", F{"", ""}},         {"A#B#", F{"A", "B"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitFields(c.line), c.fields) << c.line;
  EXPECT_EQ(PrinterFamilyOf("Bixolon SRP-350plus"), PrinterFamily::k350);
  EXPECT_EQ(PrinterFamilyOf("SRP-350 500"), PrinterFamily::k500);  // 500 wins
  EXPECT_EQ(PrinterFamilyOf(""), PrinterFamily::k103);
}

// Each family's reading of the fields, and what carries over from one line to the next.
TEST(FieldFormatTest, FamiliesReadTheFields) {
  struct {
    PrinterFamily family;
    const char* name;
    std::vector<std::string> lines;
    FieldAction expected;
  } cases[] = {
      {k500, "narrow font whatever Formato", {"X#0#8#5"}, Text("X", "FontB17cpi", 9)},
      {k500, "Formato text is small", {"X#0#18#abc"}, Text("X", "FontA15cpi", 9)},
      {k500, "Formato -0,5 rounds down to -1", {"X#0#9#-0,5"}, Text("X", "FontA15cpi", 18)},
      {k500, "no Formato: size from Dimensione, no font", {"X#0#18"}, Text("X", "", 18)},
      {k500, "Dimensione compared as text", {"X#0#8,0"}, Text("X", "", 9)},
      {k500, "empty Testo prints a", {"#0"}, Text("a", "", 0)},
      {k500, "TipoRiga -0,5 rounds down to -1", {"X#-0,5"}, End("X", "", 0)},
      {k500, "Grassetto 1,7 is bold", {"X#0#9#0#1,7"}, Text("X", "FontA15cpi", 9, true)},
      {k350, "Dimensione 8,0 equals 8", {"X#0#8,0"}, Text("X", "FontA1x1", 10)},
      {k350, "Dimensione 8,00001 is not 8", {"X#0#8,00001"}, Text("X", "FontA1x1", 14)},
      {k350, "TipoRiga 0,99999 is 0, not rounded up", {"X#0,99999"}, Text("X", "FontA1x1", 10)},
      {k350, "Dimensione text is 10", {"X#0#9", "X#0#abc"}, Text("X", "FontA1x1", 10)},
      {k350, "Formato 5 keeps the font", {"X#0#9#13", "Y#0#9#5"}, Barcode("Y")},
      {k350, "TipoRiga 1,5 rounds down to 1", {"X#1,5"}, End("X", "FontA1x1", 10)},
      {k350, "Grassetto and Colore not read", {"X#0#9#0#1#R"}, Text("X", "FontA1x1", 14)},
      {k103, "empty Dimensione counts as 8", {"Coperto#0##0"}, Text("Coperto", "FontB1x1", 7)},
      {k103, "7 stays narrow", {"X#0#9#1", "Y#0#8", "Z#0#9"}, Text("Z", "FontB1x1", 14)},
      {k103, "8 keeps barcode", {"8001234567890#0#9#13", "12#0#8"}, Barcode("12")},
      {k500, "empty line again", {"Pizza#0#9#1", "Birra", ""}, Text("Birra", "FontA15cpi", 18)},
      {k500, "empty line ends the receipt again", {"X#0#9#0", "#1", ""}, End("a", "FontA15cpi", 9)},
      {k500, "bold red carry", {"X#0#9#0#1#R", "Y"}, Text("Y", "FontA15cpi", 9, true, true)},
      {k500, "TipoRiga text keeps the end", {"#1", "Y#x"}, End("Y", "", 0)},
      {k500, "empty bold clears", {"X#0#9#0#1", "Y#0#9#0##R"}, Text("Y", "FontA15cpi", 9, 0, 1)},
      {k500, "empty colour black", {"X#0#9#0#0#R", "Y#0#9#0#0##"}, Text("Y", "FontA15cpi", 9)},
      {k500, "Dimensione alone", {"X#0#9#1", "Y#0#8"}, Text("Y", "FontA15cpi", 8)},
      {k350, "barcode carries", {"8001234567890#0#9#13", "80098"}, Barcode("80098")},
  };
  for (const auto& c : cases) {
    FieldAction got = LastAction(c.family, c.lines);
    EXPECT_EQ(got, c.expected) << c.name << ": " << Show(got) << "\nexpected " << Show(c.expected);
  }
}

// Every family ends the receipt at the job's last "#1", whatever comes before it. (Any prefix
// of a job reads without a crash: the fuzz target's promise.)
TEST(FieldFormatTest, AWholeJobEndsTheReceiptInEveryFamily) {
  std::vector<std::string> lines = SplitTextLines(
      "Conto#0#9#0#0#N\r\nTotale#0#18#1#1#R\r\n\r\n8001234567890#0#9#13\r\nCoperto#0##0\r\n#\r\n"
      "##\r\nX#-1,5#8,0#1,9#abc#\r\n\xA7"
      "D#0\n#1\r\n#1");
  for (PrinterFamily f : {k500, k350, k103})
    EXPECT_EQ(LastAction(f, lines).kind, Kind::kEndReceipt) << FamilyName(f);
}

}  // namespace
}  // namespace valico
