#include "prebill/job_formats.h"

#include <gtest/gtest.h>


namespace valico {
namespace {

using Lines = std::vector<std::string>;

TEST(JobFormatsTest, PlainLinesLoseTheirMarks) {
  EXPECT_EQ(TextOfPlainLine("Totale\xA7"
                            "D 12,00"),
            "Totale 12,00");
  EXPECT_EQ(Sostituisci("a\xA7"
                        "Db\xA7"
                        "D",
                        "\xA7"
                        "D",
                        ""),
            "ab");
  EXPECT_EQ(Sostituisci("\xA7\xA7"
                        "DD",
                        "\xA7"
                        "D",
                        ""),
            "\xA7"
            "D");
  EXPECT_EQ(Sostituisci("\xA7"
                        "d",
                        "\xA7"
                        "D",
                        ""),
            "\xA7"
            "d");  // with case
  EXPECT_EQ(Sostituisci("aaa", "aa", "b"), "ba");
  EXPECT_EQ(Sostituisci("abc", "", "x"), "abc");
  // Long lines too.
  std::string long_line = std::string(40000, 'x') +
                          "\xA7"
                          "D";
  EXPECT_EQ(TextOfPlainLine(long_line), std::string(40000, 'x'));
}

TEST(JobFormatsTest, N2AndScoLines) {
  using Text = std::optional<std::string>;
  struct {
    const char* line;
    Text n2, sco;
  } cases[] = {
      {"N2:01:Tavolo 5", "Tavolo 5", std::nullopt},
      {"N2ab:xy:z", "xy:z", std::nullopt},
      {"N2", "N2", std::nullopt},
      {"N2:", "N2:", std::nullopt},
      {"N2a:", "", std::nullopt},
      {"N1:01:Tavolo 5", std::nullopt, std::nullopt},
      {"n2:01:x", std::nullopt, std::nullopt},
      {"N", std::nullopt, std::nullopt},
      {"", std::nullopt, std::nullopt},
      {"N:SCO:TXT:Grazie", std::nullopt, "Grazie"},
      {"N:SCO:TXT:", std::nullopt, ""},
      {"n:sco:txt:Grazie", std::nullopt, std::nullopt},
      {"N:SCO:TX", std::nullopt, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TextOfN2Line(c.line), c.n2) << c.line;
    EXPECT_EQ(TextOfScoLine(c.line), c.sco) << c.line;
  }
}

}  // namespace
}  // namespace valico
