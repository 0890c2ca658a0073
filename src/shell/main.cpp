#include "shell/command_line.h"
#include "shell/desktop_program.h"

int main(int argc, char** argv) {
  return valico::RunCommandLine(argc, argv, valico::DesktopProgramIfAny());
}
