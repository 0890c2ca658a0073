#include "platform/command_line_split.h"

#include <gtest/gtest.h>

namespace valico {
namespace {

using Args = std::vector<std::string>;

TEST(CommandLineSplitTest, SplitsTheWayAWindowsProgramReceivesItsArguments) {
  struct Case {
    const char* name;
    const char* line;
    Args expected;
  };
  const Case cases[] = {
      {"blank line", " \t ", {}},
      {"plain words, blanks and tabs", "  prog a \t b", {"prog", "a", "b"}},
      {"quoted program with blanks",
       R"("C:\Programmi\Access 97 Runtime\msaccess.exe" /runtime /wrkgrp "C:\CALDERA\System.mdw")",
       {R"(C:\Programmi\Access 97 Runtime\msaccess.exe)", "/runtime", "/wrkgrp",
        R"(C:\CALDERA\System.mdw)"}},
      {"backslash ending a quoted program is plain", R"("C:\dir\" x)", {R"(C:\dir\)", "x"}},
      {"backslashes in the program are plain", R"(C:\a\\b\" x)", {R"(C:\a\\b\")", "x"}},
      {"text right after a quoted program is the next argument",
       R"("prog"x y)",
       {"prog", "x", "y"}},
      {"quotes in the middle of an argument", R"(p a"b c"d)", {"p", "ab cd"}},
      {"backslashes not before a quote stay", R"(p a\\b c:\x\)", {"p", R"(a\\b)", R"(c:\x\)"}},
      {"odd backslashes before a quote: literal quote",
       R"(p a\\\"b \"c\")",
       {"p", R"(a\"b)", R"("c")"}},
      {"even backslashes before a quote: half, and the quote delimits",
       R"(p a\\"b c" "d\\" e)",
       {"p", R"(a\b c)", R"(d\)", "e"}},
      {"two quotes inside a quoted part: a quote, and the part ends",
       R"(p "a""b c" d)",
       {"p", R"(a"b)", "c d"}},
      {"three quotes outside: a literal quote", R"(p """x)", {"p", R"("x)"}},
      {"unclosed quote runs to the end", R"(p "a b)", {"p", "a b"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SplitCommandLine(c.line), c.expected) << c.name;
  }
}

TEST(CommandLineSplitTest, ArgumentsAloneTreatTheFirstLikeTheOthers) {
  EXPECT_EQ(SplitArguments(R"( "a\" b" c\\)"), (Args{R"(a" b)", R"(c\\)"}));
  EXPECT_EQ(SplitArguments(""), Args{});
}

}  // namespace
}  // namespace valico
