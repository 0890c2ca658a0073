#include "core/text_lines.h"

#include <gtest/gtest.h>

namespace valico {
namespace {

using Lines = std::vector<std::string>;

TEST(TextLinesTest, LinesEndAtCr) {
  struct {
    const char* name;
    std::string bytes;
    Lines lines;
  } cases[] = {
      {"empty file", "", {}},
      {"CR LF", "A\r\nB\r\n", {"A", "B"}},
      {"CR alone", "A\rB\r", {"A", "B"}},
      {"LF alone stays in the text", "A\nB\r\nC", {"A\nB", "C"}},
      {"last line without end", "A\r\nB", {"A", "B"}},
      {"empty lines", "\r\n\r\nA\r\n", {"", "", "A"}},
      {"LF only after one CR", "A\r\n\nB", {"A", "\nB"}},
      {"bytes kept as they are",
       "\xA7"
       "D\x1b\r",
       {"\xA7"
        "D\x1b"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitTextLines(c.bytes), c.lines) << c.name;
}

}  // namespace
}  // namespace valico
