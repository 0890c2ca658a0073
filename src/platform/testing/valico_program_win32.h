#pragma once

#include <windows.h>

#include <chrono>
#include <string>

#include "platform/testing/test_programs.h"

namespace valico::testing {

// The real valico.exe, started by a test as "valico --home HOME" + `arguments` and ended (if
// it still runs) when the object goes. Given an `output` file, it runs in a console of its
// own (as a user runs a command) with its output in that file, since that console has no
// screen here.
class ValicoProgram {
 public:
  ValicoProgram(const std::string& home, const std::string& arguments,
                const std::string& output = "") {
    std::string cmd = Quoted(TestProgram("valico")) + " --home " + Quoted(home) + arguments;
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    if (!output.empty()) {
      SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
      output_ = ::CreateFileA(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
      si.dwFlags = STARTF_USESTDHANDLES;
      si.hStdOutput = si.hStdError = output_;
    }
    started_ =
        (output.empty() || output_ != INVALID_HANDLE_VALUE) &&
        ::CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, !output.empty(),
                         output.empty() ? 0 : CREATE_NEW_CONSOLE, nullptr, nullptr, &si, &pi_);
    if (!started_) error_ = cmd + ": error " + std::to_string(::GetLastError());
  }
  ~ValicoProgram() {
    if (output_ != INVALID_HANDLE_VALUE) ::CloseHandle(output_);
    if (!started_) return;
    if (running()) ::TerminateProcess(pi_.hProcess, 9);
    ::WaitForSingleObject(pi_.hProcess, 5000);
    ::CloseHandle(pi_.hThread);
    ::CloseHandle(pi_.hProcess);
  }
  ValicoProgram(const ValicoProgram&) = delete;
  ValicoProgram& operator=(const ValicoProgram&) = delete;

  bool started() const { return started_; }
  const std::string& error() const { return error_; }
  DWORD id() const { return pi_.dwProcessId; }
  bool running() const { return ::WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }
  // Its exit code once it ended within `limit`; -1 while it runs.
  long long EndedWith(std::chrono::milliseconds limit) const {
    DWORD code = 0;
    if (::WaitForSingleObject(pi_.hProcess, static_cast<DWORD>(limit.count())) != WAIT_OBJECT_0)
      return -1;
    ::GetExitCodeProcess(pi_.hProcess, &code);
    return code;
  }

 private:
  PROCESS_INFORMATION pi_{};
  HANDLE output_ = INVALID_HANDLE_VALUE;
  bool started_ = false;
  std::string error_;
};

}  // namespace valico::testing
