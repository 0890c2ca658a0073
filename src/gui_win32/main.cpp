#include <windows.h>

#include <cstdio>

#include "gui_win32/tray_program.h"
#include "shell/command_line.h"

namespace {

bool Usable(DWORD which) {
  HANDLE h = ::GetStdHandle(which);
  return h && h != INVALID_HANDLE_VALUE && ::GetFileType(h) != FILE_TYPE_UNKNOWN;
}

// valico.exe is a windows program, so a start from Explorer or at logon opens no console. A
// command prints where it was started from: into the handles it inherited (a pipe, a file, or
// Wine's terminal), else into the console of the program that started it.
void UseStartingConsole() {
  if (Usable(STD_OUTPUT_HANDLE) || Usable(STD_ERROR_HANDLE)) return;
  if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return;
  std::freopen("CONOUT$", "w", stdout);
  std::freopen("CONOUT$", "w", stderr);
}

}  // namespace

// Without a command, the tray program; with one, the command line.
int main(int argc, char** argv) {
  if (argc > 1) UseStartingConsole();
  return valico::RunCommandLine(argc, argv, valico::gui::RunTrayProgram);
}
