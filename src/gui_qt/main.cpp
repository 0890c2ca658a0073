#include "gui_qt/gui_program.h"
#include "shell/command_line.h"

// valico-gui: valico's command line with the tray program built in: `gui`, which is also the
// command when none is named and a desktop session is present.
int main(int argc, char** argv) { return valico::RunCommandLine(argc, argv, valico::RunQtGui); }
