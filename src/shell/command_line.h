#pragma once

namespace valico {

// Valico's command line: global machine options, then a command (run by default).
int RunCommandLine(int argc, char** argv);

}  // namespace valico
