#include "prebill/job_formats.h"

#include <gtest/gtest.h>

namespace valico {
namespace {

const std::string kMark = "\xA7\x44";  // the section sign and D

TEST(JobFormatsTest, PlainLinesLoseTheirMarks) {
  EXPECT_EQ(TextOfPlainLine("Totale" + kMark + " 12,00"), "Totale 12,00");
  EXPECT_EQ(Sostituisci("\xA7" + kMark + "D", kMark, ""), kMark);  // one pass only
  EXPECT_EQ(Sostituisci("\xA7\x64", kMark, ""), "\xA7\x64");       // with case
  EXPECT_EQ(Sostituisci("aaa", "aa", "b"), "ba");
  EXPECT_EQ(Sostituisci("abc", "", "x"), "abc");
  EXPECT_EQ(TextOfPlainLine(std::string(40000, 'x') + kMark), std::string(40000, 'x'));
}

TEST(JobFormatsTest, N2AndScoLines) {
  using Text = std::optional<std::string>;
  struct {
    const char* line;
    Text n2, sco;
  } cases[] = {
      {"N2:01:Tavolo 5", "Tavolo 5", std::nullopt},
      {"N2ab:xy:z", "xy:z", std::nullopt},
      {"N2:", "N2:", std::nullopt},
      {"N2a:", "", std::nullopt},
      {"n2:01:x", std::nullopt, std::nullopt},
      {"", std::nullopt, std::nullopt},
      {"N:SCO:TXT:Grazie", std::nullopt, "Grazie"},
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
