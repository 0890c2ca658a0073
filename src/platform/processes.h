#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace valico {

// Window states of a started program (the values of the platform's show commands).
enum class WindowState { kHidden = 0, kMinimizedFocus = 2, kMinimizedNoFocus = 6 };

using ProcessId = std::int64_t;

// Starting outside programs from command lines built the Windows way: the program path
// (quoted when it holds blanks) followed by its arguments.
class Processes {
 public:
  virtual ~Processes() = default;
  // Starts without waiting. Returns the process id, or 0 with *err when it could not start.
  virtual ProcessId Start(const std::string& command_line, WindowState state,
                          std::string* err) = 0;
  // Waits for a process started here to end; a negative timeout waits without limit.
  // True when it has ended (or was already gone), false on time-out.
  virtual bool Wait(ProcessId pid, std::chrono::milliseconds timeout) = 0;
};

}  // namespace valico

#include <memory>

namespace valico {
class DiagLog;
// The machine's process starter. `wine` is the program that runs a ".exe" on POSIX.
std::unique_ptr<Processes> MakeProcesses(DiagLog& log, const std::string& wine);
}  // namespace valico
