#include <cstdlib>
#include <string>

#include "platform/regional.h"

namespace valico {
namespace {

// The value a POSIX program would use for one category: LC_ALL, then the category, then LANG.
std::string LocaleNameFor(const char* category) {
  for (const char* var : {"LC_ALL", category, "LANG"}) {
    const char* v = std::getenv(var);
    if (v && *v) return v;
  }
  return "C";
}

}  // namespace

Regional UserRegional() {
  Regional numbers = RegionalFor(LocaleNameFor("LC_NUMERIC"));
  Regional days = RegionalFor(LocaleNameFor("LC_TIME"));
  numbers.weekday_names = days.weekday_names;
  return numbers;
}

}  // namespace valico
