#include "gui_qt/gui_program.h"
#include "shell/command_line.h"

// valico-gui: valico's command line with the tray program built in: `gui`, which is also what
// it runs when no command is named.
int main(int argc, char** argv) { return valico::RunCommandLine(argc, argv, valico::RunQtGui); }
