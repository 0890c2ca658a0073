#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/program_folder.h"

namespace valico::testing {

// Native path of a program built beside the tests (fake drivers, probes, valico itself):
// in VALICO_TEST_BIN_DIR, else in the folder of the running test program.
inline std::string TestProgram(const std::string& name) {
  const char* dir = std::getenv("VALICO_TEST_BIN_DIR");
  std::filesystem::path folder(dir && *dir ? std::string(dir) : ExecutableFolder());
  return (folder / (name + VALICO_EXE_SUFFIX)).string();
}

// A native path in double quotes, as a command line carries it.
inline std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

}  // namespace valico::testing
