#pragma once

#include <stop_token>
#include <string>

#include "platform/diag_log.h"
#include "platform/processes.h"

namespace valico {

// Starts the program or batch file `percorso` with window state `stato` and returns when it
// has ended. When it does not start, the reason goes to the diagnostic log and nothing is
// waited for. A stop request (the service shutting down) ends the wait early; the program is
// left running.
void LanciaEAttendi(Processes& processes, DiagLog& log, const std::string& percorso,
                    WindowState stato, std::stop_token stop = {});

// Waits until the process `pid` has ended, without a time limit unless `stop` is requested.
void AttendiProcesso(Processes& processes, DiagLog& log, ProcessId pid, std::stop_token stop = {});

// A path as a command line: in double quotes when it holds a blank, as it stands otherwise.
std::string QuotedWhenBlank(const std::string& path);

}  // namespace valico
