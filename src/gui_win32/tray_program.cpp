#include "gui_win32/tray_program.h"

#include <windows.h>

#include "gui_win32/main_dialog.h"
#include "gui_win32/message_boxes.h"
#include "platform/program_folder_lock.h"
#include "shell/service.h"
#include "shell/startup.h"

namespace valico::gui {
namespace {

// Window messages and the tick's passes, on this one thread, until the program is finished.
// A job that arrives (the folder watch's handle) starts a pass at once, between messages.
void RunMessageLoop(MainDialog& window, const WakeSource& wake) {
  HANDLE handle = reinterpret_cast<HANDLE>(wake.handle);
  DWORD count = wake.handle != -1 ? 1 : 0;
  while (!window.Finished()) {
    DWORD r =
        ::MsgWaitForMultipleObjectsEx(count, &handle, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (count == 1 && r == WAIT_OBJECT_0 && wake.woken && wake.woken()) window.Pass();
    // The messages are looked at after every wake, so a watch that keeps waking cannot starve
    // the window.
    MSG message;
    while (!window.Finished() && ::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return;
      if (window.IsDialogMessageOfAny(&message)) continue;
      ::TranslateMessage(&message);
      ::DispatchMessageA(&message);
    }
  }
}

}  // namespace

std::string ShowWindowMessageName(const std::string& folder) {
  return ProgramFolderKey(folder) + "-Mostra";
}

int RunTrayProgram(const MachineOptions& machine) {
  MachineOptions options = CompleteFromEnvironment(machine);
  UINT show_message = ::RegisterWindowMessageA(ShowWindowMessageName(options.home).c_str());
  ProgramFolderLock lock(options.home);
  if (!lock.held()) {
    // The running copy may bring its window to the front: this start came from the user.
    ::AllowSetForegroundWindow(ASFW_ANY);
    ::PostMessageA(HWND_BROADCAST, show_message, 0, 0);
    return 0;
  }
  App app(options, MessageBoxDialogs::Make);
  Context& ctx = app.ctx();
  MainDialog window(ctx, ctx.svc.dialogs, show_message);
  if (!window.Create()) {
    // No desktop to show it on: the devices are served all the same, as by `run`.
    ctx.svc.log.Error("the configuration window could not be created (error " +
                      std::to_string(::GetLastError()) +
                      "); Valico runs without it, stopped as `run` is");
    return RunService(ctx, 0);
  }
  StartUp(ctx);
  ServiceTicks ticks(ctx);
  bool ended = false;
  auto end = [&] {
    if (ended) return;
    ended = true;
    ticks.Stop();
    ShutDown(ctx);
    ticks.FlushStatus();
  };
  window.OnSessionEnd(end);
  window.LoadEnded(ticks);
  RunMessageLoop(window, ticks.Wake());
  end();
  return 0;
}

}  // namespace valico::gui
