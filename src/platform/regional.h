#pragma once

#include <array>
#include <string>

namespace valico {

// The workstation's regional settings that the system's formats depend on. An injected value,
// never the process's C locale, so tests can use Italian rules on any machine.
struct Regional {
  char decimal_separator = '.';
  char group_separator = ',';
  // Full weekday names, Sunday first, in the code page of the settings files.
  std::array<std::string, 7> weekday_names = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                              "Thursday", "Friday", "Saturday"};
};

// Rules of a language or locale name such as "it_IT.UTF-8", "it-IT", "de" or "C". Unknown
// languages get the English rules.
Regional RegionalFor(const std::string& locale_name);

// The user's regional settings: on POSIX from LC_ALL, LC_NUMERIC / LC_TIME, LANG; on Windows
// from the user's locale. Per-OS.
Regional UserRegional();

}  // namespace valico
