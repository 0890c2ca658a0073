#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace valico {

// Window states of a started program (the values of the platform's show commands).
enum class WindowState { kHidden = 0, kMinimizedFocus = 2, kMinimizedNoFocus = 6 };

using ProcessId = std::int64_t;

// Starts outside programs from command lines built the Windows way: the program path (in
// double quotes when it holds blanks) followed by its arguments, e.g.
//   "C:\Programmi\Access 97 Runtime\msaccess.exe" /runtime "C:\CALDERA\Zefiro.mde"
//
// Windows: the line goes to CreateProcess as it is; the window state becomes the show
// command of the new program's window.
//
// POSIX: the line is split into arguments with the Windows rules (see command_line_split.h)
// and started without a shell. The program is a settings path, mapped to a native path like
// every other (an unquoted program path holding blanks is looked up prefix by prefix, as
// CreateProcess does). A ".bat" or ".cmd" file runs through /bin/sh (the installation supplies
// it in shell syntax), a ".exe" through the wine program, anything else is executed as it is.
// The arguments are passed unchanged. Window states are ignored. The child gets /dev/null as
// standard input, its own process group (Ctrl+C in Valico's terminal does not reach it), a
// clean signal mask, and none of Valico's open files. Every child is reaped as soon as it
// ends, whether or not anyone waits for it; no other child of the process is touched.
//
// An object may be used from several threads.
class Processes {
 public:
  virtual ~Processes() = default;
  // Starts the program and returns at once with its process id, or with 0 and the reason in
  // *err (err may be null) when it could not be started: no such program, not executable,
  // no wine. A program that starts and then fails is a started program.
  virtual ProcessId Start(const std::string& command_line, WindowState state, std::string* err) = 0;
  // Waits for a process started by this object to end; a negative timeout waits without
  // limit. True when it has ended (also when it ended before the call, or the id is not one
  // this object started), false when the timeout passed first.
  virtual bool Wait(ProcessId pid, std::chrono::milliseconds timeout) = 0;
};

class DiagLog;
class Files;

// The machine's process starter. `files` maps program paths; `wine` is the program that runs
// a ".exe" on POSIX (looked up on PATH when it has no "/"). Both are ignored on Windows.
std::unique_ptr<Processes> MakeProcesses(DiagLog& log, const Files& files, const std::string& wine);

// What would run a command line, found without starting it (the installer's check): *program
// the program's native path and, on POSIX, *runner the program that runs it as Start would
// (/bin/sh for a ".bat" or ".cmd", the wine program for a ".exe", found on PATH when it has no
// "/"), "" when the program runs itself. False with the reason when the line is empty, the
// program file is missing, or it or its runner cannot be run. Per-OS.
bool FindProgram(const Files& files, const std::string& command_line, const std::string& wine,
                 std::string* program, std::string* runner, std::string* why);

}  // namespace valico
