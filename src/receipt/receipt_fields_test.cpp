#include "receipt/receipt_fields.h"

#include <gtest/gtest.h>

namespace valico {
namespace {

using Fields = std::vector<std::string>;

TEST(ReceiptFieldsTest, CommasQuotesBlanksAndLineEnds) {
  struct Case {
    const char* name;
    std::string text;
    Fields fields;
  };
  const Case cases[] = {
      {"comma outside quotes splits the line", "I1 Da Mario, Roma\r\n", {"I1 Da Mario", "Roma"}},
      {"quotes keep the comma", "\"I1 Da Mario, Roma\"\r\n", {"I1 Da Mario, Roma"}},
      {"after the closing quote, up to the comma is skipped",
       "\"RR a\"xyz,RR b\r\n",
       {"RR a", "RR b"}},
      {"blanks before a field are skipped, after it kept",
       "  \tRR a  ,  RR b\r\n",
       {"RR a  ", "RR b"}},
      {"CR only", "RR a\rRR b\r", {"RR a", "RR b"}},
      {"LF only", "RR a\nRR b\n", {"RR a", "RR b"}},
      {"no line end at the end", "RR a\r\nRR b", {"RR a", "RR b"}},
      {"blank line", "RR a\r\n\r\nRR b\r\n", {"RR a", "", "RR b"}},
      {"comma before the line end", "RR a,\r\nRR b,", {"RR a", "", "RR b", ""}},
      {"a quote left open ends with its line", "\"RR a, b\r\nRR c\r\n", {"RR a, b", "RR c"}},
      {"empty file", "", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadReceiptFields(c.text), c.fields) << c.name;
}

// A job cut anywhere reads as the fields before the cut, the last one possibly cut short.
TEST(ReceiptFieldsTest, EveryTruncationReadsAsAPrefixOfTheWholeJob) {
  const std::string job =
      "I1 Trattoria Da Mario\r\n\"I2 Tavolo 5, coperti 2\"\r\n  RR Acqua 1\r\n"
      "\"RR Caff\xe8, 2\" x\rRR Vino,RR Pane\n\r\nrr minuscolo\r\n";
  const Fields whole = ReadReceiptFields(job);
  ASSERT_EQ(whole.size(), 8u);
  for (size_t cut = 0; cut <= job.size(); ++cut) {
    Fields part = ReadReceiptFields(job.substr(0, cut));
    ASSERT_LE(part.size(), whole.size()) << "cut at " << cut;
    for (size_t i = 0; i < part.size(); ++i) {
      const std::string& all = whole[i];  // the last field read may be cut short
      EXPECT_EQ(part[i], i + 1 < part.size() ? all : all.substr(0, part[i].size())) << cut;
    }
  }
}

}  // namespace
}  // namespace valico
