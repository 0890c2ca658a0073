#include <windows.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <vector>

#include "platform/command_line_split.h"
#include "platform/diag_log.h"
#include "platform/files.h"
#include "platform/processes.h"
#include "platform/system_error_win32.h"

namespace valico {
namespace {

WORD ShowCommand(WindowState state) {
  switch (state) {
    case WindowState::kHidden:
      return SW_HIDE;
    case WindowState::kMinimizedFocus:
      return SW_SHOWMINIMIZED;
    case WindowState::kMinimizedNoFocus:
      return SW_SHOWMINNOACTIVE;
  }
  return SW_SHOWMINNOACTIVE;
}

// Keeps the handle of every started process until it has ended, so that a process id stays
// the process this object started (an id is reused once every handle to it is closed).
// Handles of processes that ended are closed at the next Start or Wait.
class Win32Processes : public Processes {
 public:
  explicit Win32Processes(DiagLog& log) : log_(log) {}
  ~Win32Processes() override {
    for (auto& [pid, handle] : handles_) CloseHandle(handle);
  }

  ProcessId Start(const std::string& command_line, WindowState state, std::string* err) override {
    if (command_line.find_first_not_of(" \t") == std::string::npos) {
      if (err) *err = "cannot start a program: the command line is empty";
      return 0;
    }
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = ShowCommand(state);
    PROCESS_INFORMATION pi{};
    std::vector<char> line(command_line.begin(), command_line.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
      if (err) *err = "cannot start " + command_line + ": " + SystemErrorText(GetLastError());
      return 0;
    }
    CloseHandle(pi.hThread);
    std::lock_guard lock(mu_);
    CloseEnded();
    handles_[pi.dwProcessId] = pi.hProcess;
    log_.Debug("started process " + std::to_string(pi.dwProcessId) + ": " + command_line);
    return pi.dwProcessId;
  }

  bool Wait(ProcessId pid, std::chrono::milliseconds timeout) override {
    HANDLE handle = nullptr;
    {
      std::lock_guard lock(mu_);
      auto it = handles_.find(static_cast<DWORD>(pid));
      if (it == handles_.end()) return true;
      // A handle of our own, so that a concurrent Start closing ended handles cannot close it
      // under us.
      if (!DuplicateHandle(GetCurrentProcess(), it->second, GetCurrentProcess(), &handle,
                           SYNCHRONIZE, FALSE, 0))
        return true;
    }
    DWORD ms = timeout.count() < 0 ? INFINITE
                                   : static_cast<DWORD>(std::min<long long>(
                                         timeout.count(), static_cast<long long>(INFINITE) - 1));
    DWORD rc = WaitForSingleObject(handle, ms);
    CloseHandle(handle);
    if (rc == WAIT_TIMEOUT) return false;
    std::lock_guard lock(mu_);
    CloseEnded();
    return true;
  }

 private:
  void CloseEnded() {
    for (auto it = handles_.begin(); it != handles_.end();) {
      if (WaitForSingleObject(it->second, 0) == WAIT_OBJECT_0) {
        CloseHandle(it->second);
        it = handles_.erase(it);
      } else {
        ++it;
      }
    }
  }

  DiagLog& log_;
  std::mutex mu_;
  std::map<DWORD, HANDLE> handles_;
};

}  // namespace

std::unique_ptr<Processes> MakeProcesses(DiagLog& log, const Files&, const std::string&) {
  return std::make_unique<Win32Processes>(log);
}

bool FindProgram(const Files& files, const std::string& command_line, const std::string&,
                 std::string* program, std::string* runner, std::string* why) {
  ProgramAndArguments r =
      SplitProgram(command_line, [&files](const std::string& name) { return files.IsFile(name); });
  runner->clear();
  if (r.program.empty()) {
    *why = "the command line is empty";
    return false;
  }
  *program = files.Native(r.program);
  if (files.IsFile(r.program)) return true;
  *why = "no such file " + *program;
  return false;
}

}  // namespace valico
