#include <windows.h>

#include <string>

#include "platform/regional.h"

namespace valico {
namespace {

// One locale value of the user's regional settings, in the settings files' code page
// (Windows-1252). Empty when the platform does not have it.
std::string UserLocaleInfo(LCTYPE type) {
  wchar_t wide[LOCALE_NAME_MAX_LENGTH + 80];
  int n = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, wide,
                            static_cast<int>(sizeof(wide) / sizeof(wide[0])));
  if (n <= 1) return "";
  char bytes[4 * (LOCALE_NAME_MAX_LENGTH + 80)];
  int m = ::WideCharToMultiByte(1252, 0, wide, n - 1, bytes, sizeof(bytes), "?", nullptr);
  return m > 0 ? std::string(bytes, m) : std::string();
}

}  // namespace

Regional UserRegional() {
  Regional r;
  std::string decimal = UserLocaleInfo(LOCALE_SDECIMAL);
  std::string group = UserLocaleInfo(LOCALE_STHOUSAND);
  if (decimal.size() == 1) r.decimal_separator = decimal[0];
  // A no-break space (the French group separator) is one byte in Windows-1252 as well.
  if (group.size() == 1) r.group_separator = group[0];
  // The platform counts weekday names from Monday (LOCALE_SDAYNAME1); Regional from Sunday.
  static constexpr LCTYPE kDayNames[7] = {LOCALE_SDAYNAME7, LOCALE_SDAYNAME1, LOCALE_SDAYNAME2,
                                          LOCALE_SDAYNAME3, LOCALE_SDAYNAME4, LOCALE_SDAYNAME5,
                                          LOCALE_SDAYNAME6};
  for (int i = 0; i < 7; ++i) {
    std::string name = UserLocaleInfo(kDayNames[i]);
    if (!name.empty()) r.weekday_names[i] = name;
  }
  return r;
}

}  // namespace valico
