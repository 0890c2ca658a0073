#include <gtest/gtest.h>
#include <windows.h>

#include "platform/regional.h"

namespace valico {
namespace {

// The weekday names must line up with the calendar: the platform numbers its day names from
// Monday, Regional from Sunday. The reference is the platform's own long date format of known
// dates, in the user's locale and the settings files' code page.
TEST(RegionalWin32Test, WeekdayNamesFollowTheCalendarOfTheUserLocale) {
  Regional r = UserRegional();
  for (WORD day = 0; day < 7; ++day) {
    SYSTEMTIME st{};
    st.wYear = 2026;
    st.wMonth = 11;
    st.wDay = static_cast<WORD>(1 + day);  // 1 November 2026 is a Sunday
    st.wDayOfWeek = day;
    char name[128];
    int n = ::GetDateFormatA(LOCALE_USER_DEFAULT, 0, &st, "dddd", name, sizeof(name));
    ASSERT_GT(n, 1);
    EXPECT_EQ(r.weekday_names[day], std::string(name, n - 1)) << "day " << day;
  }
  char decimal[8];
  ASSERT_GT(::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal, sizeof(decimal)), 1);
  EXPECT_EQ(r.decimal_separator, decimal[0]);
  EXPECT_NE(r.decimal_separator, r.group_separator);
}

}  // namespace
}  // namespace valico
