#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdio>

#include "platform/testing/temp_folder.h"
#include "platform/testing/valico_program_win32.h"
#include "platform/testing/wait_for.h"
#include "platform/testing/wine_win32.h"

namespace valico {
namespace {

using namespace std::chrono_literals;

using testing::WaitFor;

// valico.exe running the service in a console of its own, as a user runs it.
class ValicoProcess : public testing::ValicoProgram {
 public:
  explicit ValicoProcess(const std::string& home)
      : ValicoProgram(home, " run", home + "\\output.txt") {}

  enum class Press { kEnded, kNotSent, kStillRunning };

  // Presses Ctrl+C (or Ctrl+Break) in the program's console: joins that console for the
  // moment, ignoring the event itself, and returns to its own console once the program ended.
  // kEnded when the program then ended within `limit`; *exit_code is its exit code.
  Press PressAndWait(DWORD ctrl_event, std::chrono::milliseconds limit, DWORD* exit_code) {
    ::FreeConsole();
    bool sent = ::AttachConsole(id()) && ::SetConsoleCtrlHandler(nullptr, TRUE) &&
                ::GenerateConsoleCtrlEvent(ctrl_event, 0);
    long long code = sent ? EndedWith(limit) : -1;
    ::FreeConsole();
    ::AttachConsole(ATTACH_PARENT_PROCESS);
    ::SetConsoleCtrlHandler(nullptr, FALSE);
    if (!sent) return Press::kNotSent;
    if (code < 0) return Press::kStillRunning;
    *exit_code = static_cast<DWORD>(code);
    return Press::kEnded;
  }
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
