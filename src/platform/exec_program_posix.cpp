#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/exec_program.h"

namespace valico {

bool ExecProgram(const std::string& program, const std::vector<std::string>& args,
                 std::string* err) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  ::execv(program.c_str(), argv.data());
  *err = program + ": " + std::strerror(errno);
  return false;
}

}  // namespace valico
