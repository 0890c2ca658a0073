#include <windows.h>

#include "platform/service_loop.h"

namespace valico {
namespace {

// The console control handler runs on a thread of its own that the system starts; all it does
// is signal this event, so a stop request never lands in the middle of a tick. The handler has
// no context argument, so the event is the process's: created once, never closed (a handler
// still running after the loop has ended must not signal a closed handle).
HANDLE StopEvent() {
  static const HANDLE event = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  return event;
}

BOOL WINAPI OnConsoleControl(DWORD type) {
  switch (type) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      ::SetEvent(StopEvent());
      // For console close the system ends the process once the handler returns: give the loop
      // a moment to finish its tick and shut down first.
      if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) ::Sleep(4000);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

void RunServiceLoop(std::chrono::milliseconds interval, long max_ticks,
                    const std::function<bool()>& tick, const WakeSource& wake) {
  HANDLE stop = StopEvent();
  ::ResetEvent(stop);
  // valico.exe is a windows program, so it starts without a console. The service takes the
  // console it was started from, so that Ctrl+C there stops it, or else one of its own, whose
  // closing stops it. A process that has a console already keeps it.
  if (!::AttachConsole(ATTACH_PARENT_PROCESS) && ::GetLastError() != ERROR_ACCESS_DENIED)
    ::AllocConsole();
  // A process started in a new process group has Ctrl+C disabled: enable it again.
  ::SetConsoleCtrlHandler(nullptr, FALSE);
  ::SetConsoleCtrlHandler(OnConsoleControl, TRUE);

  HANDLE handles[2] = {stop, reinterpret_cast<HANDLE>(wake.handle)};
  DWORD count = wake.handle != -1 ? 2 : 1;
  RunTicks(
      interval, max_ticks, tick,
      [&](std::chrono::nanoseconds wait) {
        auto ms = std::chrono::ceil<std::chrono::milliseconds>(wait);
        DWORD r = ::WaitForMultipleObjects(count, handles, FALSE, static_cast<DWORD>(ms.count()));
        if (r == WAIT_OBJECT_0) return WaitEnd::kStop;
        return r == WAIT_OBJECT_0 + 1 ? WaitEnd::kWoken : WaitEnd::kTimedOut;
      },
      [&] { return wake.woken && wake.woken(); });
  ::SetConsoleCtrlHandler(OnConsoleControl, FALSE);
}

}  // namespace valico
