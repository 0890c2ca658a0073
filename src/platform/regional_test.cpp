#include "platform/regional.h"

#include <gtest/gtest.h>

namespace valico {
namespace {

TEST(RegionalTest, ItalianRulesWithoutTheLocaleData) {
  for (const char* name : {"it_IT.UTF-8", "it-IT", "it", "IT_ch"}) {
    Regional r = RegionalFor(name);
    EXPECT_EQ(r.decimal_separator, ',') << name;
    EXPECT_EQ(r.group_separator, '.') << name;
    EXPECT_EQ(r.weekday_names[6], "sabato") << name;
    EXPECT_EQ(r.weekday_names[1], "luned\xEC") << name;
  }
  for (const char* name : {"C", "POSIX", "en_US.UTF-8", "", "xx_YY"}) {
    Regional r = RegionalFor(name);
    EXPECT_EQ(r.decimal_separator, '.') << name;
    EXPECT_EQ(r.weekday_names[0], "Sunday") << name;
  }
}

}  // namespace
}  // namespace valico
