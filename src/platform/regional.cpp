#include "platform/regional.h"

#include <cctype>
#include <string_view>

namespace valico {
namespace {

struct Language {
  std::string_view code;
  char decimal;
  char group;
  std::array<std::string_view, 7> days;  // Sunday first, Windows-1252
};

// Languages whose names and separators Valico knows without the platform's locale data.
constexpr Language kLanguages[] = {
    {"it",
     ',',
     '.',
     {"domenica", "luned\xEC", "marted\xEC", "mercoled\xEC", "gioved\xEC", "venerd\xEC", "sabato"}},
    {"en",
     '.',
     ',',
     {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"}},
    {"de",
     ',',
     '.',
     {"Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag"}},
    {"fr", ',', ' ', {"dimanche", "lundi", "mardi", "mercredi", "jeudi", "vendredi", "samedi"}},
    {"es",
     ',',
     '.',
     {"domingo", "lunes", "martes", "mi\xE9rcoles", "jueves", "viernes",
      "s\xE1"
      "bado"}},
};

}  // namespace

Regional RegionalFor(const std::string& locale_name) {
  std::string code;
  for (char c : locale_name) {
    if (!std::isalpha(static_cast<unsigned char>(c))) break;
    code += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  for (const Language& lang : kLanguages) {
    if (code == lang.code) {
      Regional r;
      r.decimal_separator = lang.decimal;
      r.group_separator = lang.group;
      for (size_t i = 0; i < 7; ++i) r.weekday_names[i] = std::string(lang.days[i]);
      return r;
    }
  }
  return Regional{};
}

}  // namespace valico
