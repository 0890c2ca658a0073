#pragma once

#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/program_folder.h"

#ifndef VALICO_EXE_SUFFIX
#define VALICO_EXE_SUFFIX ""
#endif

namespace valico::testing {

// Native path of a program built beside the tests (valico itself, fake drivers): from
// VALICO_TEST_BIN_DIR, which CTest sets, else the test program's own folder. `name` is given
// without ".exe"; the platform's suffix is added.
inline std::string TestProgram(std::string_view name) {
  const char* dir = std::getenv("VALICO_TEST_BIN_DIR");
  std::string folder = dir && *dir ? dir : ExecutableFolder();
  char sep = folder.find('\\') != std::string::npos ? '\\' : '/';
  return folder + sep + std::string(name) + VALICO_EXE_SUFFIX;
}

// A native path in double quotes, as a command line carries it.
inline std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

}  // namespace valico::testing
