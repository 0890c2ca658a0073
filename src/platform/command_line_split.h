#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace valico {

// Splits a Windows command line into its arguments the way a Windows program receives them
// (the rules of CommandLineToArgvW):
// - leading blanks are skipped; the first argument, the program, ends at the first blank or tab;
// when it begins with a
//   double quote it runs to the next double quote, and backslashes in it are plain characters;
// - the other arguments are separated by blanks and tabs outside double quotes; 2n
//   backslashes before a double quote give n backslashes and the quote opens or closes a
//   quoted part, 2n+1 give n backslashes and a literal quote; backslashes elsewhere are
//   plain; two quotes inside a quoted part give a literal quote and close the part;
// - "" alone is an empty argument.
// A line that is empty or blank gives no arguments.
std::vector<std::string> SplitCommandLine(std::string_view line);

// The same rules for the arguments after the program only: the first one is not special.
std::vector<std::string> SplitArguments(std::string_view line);

// The program of a command line and its arguments, the program still a settings path.
struct ProgramAndArguments {
  std::string program;
  std::vector<std::string> args;
};

// The program of a command line as CreateProcess finds it: an unquoted program path may hold
// blanks, so each prefix that ends at a blank is tried, shortest first, as it is and with
// ".exe" appended, and the first that `is_file` accepts is the program. Without a match the
// first argument is the program.
ProgramAndArguments SplitProgram(const std::string& line,
                                 const std::function<bool(const std::string&)>& is_file);

}  // namespace valico
