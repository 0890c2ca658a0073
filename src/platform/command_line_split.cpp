#include "platform/command_line_split.h"

namespace valico {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::vector<std::string> SplitArguments(std::string_view s) {
  std::vector<std::string> args;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && IsBlank(s[i])) ++i;
    if (i >= s.size()) break;
    std::string arg;
    // 0 outside quotes, 1 inside; a run of quotes counts on modulo 3, every third quote of a
    // run being a literal one.
    int quotes = 0;
    size_t backslashes = 0;
    for (; i < s.size(); ++i) {
      char c = s[i];
      if (IsBlank(c) && quotes == 0) break;
      if (c == '\\') {
        ++backslashes;
        arg += c;
        continue;
      }
      if (c != '"') {
        backslashes = 0;
        arg += c;
        continue;
      }
      // A quote: the backslashes before it are halved.
      arg.resize(arg.size() - backslashes / 2 - (backslashes % 2));
      if (backslashes % 2 == 1) {
        arg += '"';
        backslashes = 0;
        continue;
      }
      backslashes = 0;
      ++quotes;
      while (i + 1 < s.size() && s[i + 1] == '"') {
        ++i;
        if (++quotes == 3) {
          arg += '"';
          quotes = 0;
        }
      }
      if (quotes == 2) quotes = 0;
    }
    args.push_back(std::move(arg));
  }
  return args;
}

std::vector<std::string> SplitCommandLine(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  if (i >= s.size()) return {};
  std::string program;
  if (s[i] == '"') {
    size_t end = s.find('"', i + 1);
    if (end == std::string_view::npos) end = s.size();
    program = std::string(s.substr(i + 1, end - i - 1));
    i = end < s.size() ? end + 1 : end;
  } else {
    size_t start = i;
    while (i < s.size() && !IsBlank(s[i])) ++i;
    program = std::string(s.substr(start, i - start));
  }
  std::vector<std::string> args = SplitArguments(s.substr(i));
  args.insert(args.begin(), std::move(program));
  return args;
}

ProgramAndArguments SplitProgram(const std::string& line,
                                 const std::function<bool(const std::string&)>& is_file) {
  std::vector<std::string> words = SplitCommandLine(line);
  ProgramAndArguments r;
  if (words.empty()) return r;
  size_t begin = line.find_first_not_of(" \t");
  if (line[begin] != '"') {
    for (size_t end = begin; end <= line.size(); ++end) {
      if (end < line.size() && !IsBlank(line[end])) continue;
      if (end > begin && !IsBlank(line[end - 1])) {
        std::string candidate = line.substr(begin, end - begin);
        for (const std::string& name : {candidate, candidate + ".exe"}) {
          if (is_file(name)) {
            r.program = name;
            r.args = SplitArguments(std::string_view(line).substr(end));
            return r;
          }
        }
      }
    }
  }
  r.program = words.front();
  r.args.assign(words.begin() + 1, words.end());
  return r;
}

}  // namespace valico
