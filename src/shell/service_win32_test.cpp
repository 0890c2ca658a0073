#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdio>

#include "platform/testing/temp_folder.h"
#include "platform/testing/test_programs.h"
#include "platform/testing/wait_for.h"
#include "platform/testing/wine_win32.h"

namespace valico {
namespace {

using namespace std::chrono_literals;

using testing::WaitFor;

// valico.exe started in a console of its own, as a user runs it.
class ValicoProcess {
 public:
  explicit ValicoProcess(const std::string& home) {
    std::string cmd = "\"" + testing::TestProgram("valico") + "\" --home \"" + home + "\" run";
    // Its output goes to a file (what the test reports on failure), not to the new console,
    // which has no screen here.
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    output_ = ::CreateFileA((home + "\\output.txt").c_str(), GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = nullptr;
    si.hStdOutput = output_;
    si.hStdError = output_;
    started_ = output_ != INVALID_HANDLE_VALUE &&
               ::CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, TRUE, CREATE_NEW_CONSOLE,
                                nullptr, nullptr, &si, &pi_);
    if (!started_) error_ = cmd + ": error " + std::to_string(::GetLastError());
  }
  ~ValicoProcess() {
    if (output_ != INVALID_HANDLE_VALUE) ::CloseHandle(output_);
    if (!started_) return;
    if (::WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) ::TerminateProcess(pi_.hProcess, 9);
    ::WaitForSingleObject(pi_.hProcess, 5000);
    ::CloseHandle(pi_.hThread);
    ::CloseHandle(pi_.hProcess);
  }
  bool started() const { return started_; }
  bool running() const { return ::WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }
  const std::string& error() const { return error_; }

  enum class Press { kEnded, kNotSent, kStillRunning };

  // Presses Ctrl+C (or Ctrl+Break) in the program's console: joins that console for the
  // moment, ignoring the event itself, and returns to its own console once the program ended.
  // kEnded when the program then ended within `limit`; *exit_code is its exit code.
  Press PressAndWait(DWORD ctrl_event, std::chrono::milliseconds limit, DWORD* exit_code) {
    ::FreeConsole();
    bool sent = ::AttachConsole(pi_.dwProcessId) && ::SetConsoleCtrlHandler(nullptr, TRUE) &&
                ::GenerateConsoleCtrlEvent(ctrl_event, 0);
    bool ended = sent && ::WaitForSingleObject(pi_.hProcess, static_cast<DWORD>(limit.count())) ==
                             WAIT_OBJECT_0;
    ::FreeConsole();
    ::AttachConsole(ATTACH_PARENT_PROCESS);
    ::SetConsoleCtrlHandler(nullptr, FALSE);
    if (!sent) return Press::kNotSent;
    if (!ended) return Press::kStillRunning;
    ::GetExitCodeProcess(pi_.hProcess, exit_code);
    return Press::kEnded;
  }

 private:
  PROCESS_INFORMATION pi_{};
  HANDLE output_ = INVALID_HANDLE_VALUE;
  bool started_ = false;
  std::string error_;
};

// The real program, in real time: it starts, takes a pre-bill job and stops cleanly on Ctrl+C
// or Ctrl+Break in its console. (What the spool flags hold back is the polling cycle's test.)
TEST(ServiceTest, RunsTakesJobsAndStopsOnCtrlCOrCtrlBreak) {
  for (DWORD event : {DWORD{CTRL_C_EVENT}, DWORD{CTRL_BREAK_EVENT}}) {
    // Wine cannot generate Ctrl+Break (GenerateConsoleCtrlEvent fails).
    if (event == CTRL_BREAK_EVENT && testing::RunningUnderWine()) continue;
    SCOPED_TRACE(event == CTRL_C_EVENT ? "Ctrl+C" : "Ctrl+Break");
    testing::TempFolder home;
    home.Write("_Valico.ini", "[Varie]\r\nCort_Active=-1\r\n");
    ValicoProcess valico(home.path());
    ASSERT_TRUE(valico.started()) << valico.error();
    // A job taken means the ticks run, so the stop handler is in place.
    ASSERT_TRUE(WaitFor([&] { return home.Has("CortBorea") && home.Has("IN"); }, 10s));
    home.Write("CortBorea/job.txt", "N2:01:Tavolo 5\r\n");
    ASSERT_TRUE(WaitFor([&] { return !home.Has("CortBorea/job.txt"); }, 15s))
        << "running: " << valico.running() << "\n"
        << home.Read("output.txt");
    DWORD code = 1;
    ASSERT_EQ(valico.PressAndWait(event, 5s, &code), ValicoProcess::Press::kEnded)
        << "the event did not end the program";
    EXPECT_EQ(code, 0u);
    EXPECT_NE(home.Read("Valico.log").find("stopped"), std::string::npos) << "shut down in order";
  }
}

}  // namespace
}  // namespace valico
