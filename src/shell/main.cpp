#include "shell/command_line.h"

int main(int argc, char** argv) { return valico::RunCommandLine(argc, argv); }
