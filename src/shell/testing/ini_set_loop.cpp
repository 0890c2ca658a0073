// A writer for the settings tests: ini_set_loop FILE PREFIX COUNT ERRORS
// Runs `valico ini set FILE Varie PREFIX<n> <n>` for n from 0 to COUNT-1, each through the
// command line's own code with a store of its own, in this one process: the tests need
// many writes from several processes, and starting the program for each would take minutes.
// What the writes report goes to the file ERRORS. Exit status 1 at the first write that fails.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "shell/command_line.h"

int main(int argc, char** argv) {
  if (argc != 5 || !std::freopen(argv[4], "w", stderr)) return 2;
  const int count = std::atoi(argv[3]);
  for (int n = 0; n < count; ++n) {
    std::vector<std::string> args = {
        "valico", "ini", "set", argv[1], "Varie", argv[2] + std::to_string(n), std::to_string(n)};
    std::vector<char*> argv_n;
    for (std::string& a : args) argv_n.push_back(a.data());
    if (valico::RunCommandLine(static_cast<int>(argv_n.size()), argv_n.data()) != 0) return 1;
  }
  return 0;
}
