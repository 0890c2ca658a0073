#pragma once

#include <windows.h>

namespace valico::testing {

// True when the test runs under Wine rather than on Windows: some platform functions behave
// differently there, and tests name those cases.
inline bool RunningUnderWine() {
  HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
  return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace valico::testing
