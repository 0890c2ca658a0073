#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/testing/temp_folder.h"
#include "shell/command_line.h"

namespace valico::testing {

struct CommandResult {
  int status;
  std::string out, err;
};

// `valico ARGS...` run in this process, as the command line would run it, with what it printed.
inline CommandResult RunValico(std::vector<std::string> args) {
  args.insert(args.begin(), "valico");
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  int status = RunCommandLine(static_cast<int>(argv.size()), argv.data());
  std::string err = ::testing::internal::GetCapturedStderr();
  return {status, ::testing::internal::GetCapturedStdout(), err};
}

// A program folder of its own, and `valico --home FOLDER ARGS...` run on it.
struct ValicoHome : TempFolder {
  CommandResult Run(std::vector<std::string> args) const {
    args.insert(args.begin(), {"--home", path()});
    return RunValico(std::move(args));
  }
};

// The line of a report that holds `subject`; "" when none does.
inline std::string LineOf(const std::string& report, const std::string& subject) {
  std::istringstream lines(report);
  for (std::string line; std::getline(lines, line);)
    if (line.find(subject) != std::string::npos) return line;
  return "";
}

}  // namespace valico::testing
