#include "platform/exec_program.h"

namespace valico {

bool ExecProgram(const std::string& program, const std::vector<std::string>&, std::string* err) {
  *err = program + ": not started (valico.exe holds its own window on Windows)";
  return false;
}

}  // namespace valico
