#include "gui_win32/tool_windows.h"

#include <string>

#include "config_ui/about_box.h"
#include "gui_win32/resource_ids.h"
#include "platform/standard_output.h"
#include "receipt/printer_list.h"
#include "receipt/slip_calibration.h"
#include "shell/doctor.h"
#include "shell/print_status_window.h"

namespace valico::gui {
namespace {

// What a tool window keeps while it is open: its kind, its host, and its box's font.
struct ToolState {
  ToolWindow tool;
  ToolHost& host;
  HFONT font = nullptr;
};

std::string TextOf(HWND window, int id) {
  HWND control = ::GetDlgItem(window, id);
  std::string text(static_cast<size_t>(::GetWindowTextLengthA(control)) + 1, '\0');
  text.resize(static_cast<size_t>(::GetWindowTextA(control, text.data(), text.size())));
  return text;
}

void InitAbout(HWND w) {
  using T = AboutBoxText;
  ::SetWindowTextA(w, T::kTitle);
  const std::pair<int, const char*> texts[] = {
      {IDC_ABOUT_MAKER, T::kMaker}, {IDC_ABOUT_STREET, T::kStreet},
      {IDC_ABOUT_TOWN, T::kTown},   {IDC_ABOUT_SUPPORT, T::kSupport},
      {IDC_ABOUT_BOREA, T::kBorea}, {IDC_ABOUT_VERSION, T::kVersion},
      {IDC_ABOUT_CLOSE, T::kClose},
  };
  for (const auto& [id, text] : texts) ::SetDlgItemTextA(w, id, text);
}

void InitSlipTest(HWND w) {
  using T = SlipTestWindowText;
  ::SetWindowTextA(w, T::kTitle);
  ::SetDlgItemTextA(w, IDL_testRow, T::kRowsLabel);
  ::SetDlgItemTextA(w, IDC_testRow, T::kRows);
  ::SetDlgItemTextA(w, IDL_testChar, T::kColumnsLabel);
  ::SetDlgItemTextA(w, IDC_testChar, T::kColumns);
  ::SetDlgItemTextA(w, IDC_cmdTest, T::kPrint);
}

// A fixed-width font of 9 points for the box `id`; the window frees it when it goes.
void SetFixedFont(HWND w, int id, const char* face, ToolState& state) {
  HDC dc = ::GetDC(w);
  int height = -::MulDiv(9, ::GetDeviceCaps(dc, LOGPIXELSY), 72);
  ::ReleaseDC(w, dc);
  state.font = ::CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             FIXED_PITCH | FF_MODERN, face);
  ::SendDlgItemMessageA(w, id, WM_SETFONT, reinterpret_cast<WPARAM>(state.font), FALSE);
}

// The list is built at every opening, so a printer installed meanwhile shows.
void InitPrinterList(HWND w, ToolState& state) {
  using T = PrinterListWindowText;
  ::SetWindowTextA(w, T::kTitle);
  ::SetDlgItemTextA(w, IDC_LIST_CLOSE, T::kClose);
  SetFixedFont(w, IDC_txListaStampanti, T::kFont, state);
  std::string text, err;
  if (ListaStampanti(state.host.ctx.printers, &text, &err)) {
    ::SetDlgItemTextA(w, IDC_txListaStampanti, text.c_str());
  } else {
    state.host.dialogs.Message("Errore: " + err);
  }
}

// The report's lines as an edit box wants them, ended by CR LF.
void ShowReport(HWND w, const std::string& report) {
  std::string text;
  for (char c : report) text += c == '\n' ? std::string("\r\n") : std::string(1, c);
  ::SetDlgItemTextA(w, IDC_txStatoStampe, text.c_str());
}

void InitPrintStatus(HWND w, ToolState& state) {
  using T = PrintStatusWindowText;
  ::SetWindowTextA(w, T::kTitle);
  ::SetDlgItemTextA(w, IDC_cmdAggiorna, T::kRefresh);
  ::SetDlgItemTextA(w, IDC_cmdRistampa, T::kReprint);
  ::SetDlgItemTextA(w, IDC_STATUS_CLOSE, T::kClose);
  SetFixedFont(w, IDC_txStatoStampe, T::kFont, state);
  ShowReport(w, ServingStatusText(state.host.ctx, state.host.ticks));
}

// The check's text as the box shows it: Windows-1252 widened, its marks as U+2713 and U+2717
// (which no ANSI code page holds), lines ended by CR LF.
void ShowDoctor(HWND w, Context& ctx) {
  std::string text = DoctorText(RunDoctor(ctx, true), {&kPassedMark, 1}, {&kFailedMark, 1});
  std::wstring shown;
  for (char c : text) {
    wchar_t wide = 0;
    ::MultiByteToWideChar(1252, 0, &c, 1, &wide, 1);
    if (c == kPassedMark) wide = L'\u2713';
    if (c == kFailedMark) wide = L'\u2717';
    if (c == '\n') shown += L'\r';
    shown += wide;
  }
  ::SetDlgItemTextW(w, IDC_txVerifica, shown.c_str());
}

void InitDoctor(HWND w, ToolState& state) {
  using T = DoctorWindowText;
  ::SetWindowTextA(w, T::kTitle);
  ::SetDlgItemTextA(w, IDC_cmdVerifica, T::kRefresh);
  ::SetDlgItemTextA(w, IDC_DOCTOR_CLOSE, T::kClose);
  SetFixedFont(w, IDC_txVerifica, T::kFont, state);
  ShowDoctor(w, state.host.ctx);
}

void RunSlipTest(HWND w, ToolState& state) {
  Context& ctx = state.host.ctx;
  SlipTestResult r = StampaTestU295(ctx.cfg, ctx.svc.regional, ctx.printers, TextOf(w, IDC_testRow),
                                    TextOf(w, IDC_testChar));
  state.host.dialogs.Message(r.message, r.title);
}

INT_PTR CALLBACK ToolProc(HWND w, UINT message, WPARAM wp, LPARAM lp) {
  auto* state = reinterpret_cast<ToolState*>(::GetWindowLongPtrA(w, GWLP_USERDATA));
  switch (message) {
    case WM_INITDIALOG:
      state = reinterpret_cast<ToolState*>(lp);
      ::SetWindowLongPtrA(w, GWLP_USERDATA, lp);
      if (state->tool == ToolWindow::kAbout) InitAbout(w);
      if (state->tool == ToolWindow::kSlipTest) InitSlipTest(w);
      if (state->tool == ToolWindow::kPrinterList) InitPrinterList(w, *state);
      if (state->tool == ToolWindow::kPrintStatus) InitPrintStatus(w, *state);
      if (state->tool == ToolWindow::kDoctor) InitDoctor(w, *state);
      return TRUE;
    case WM_COMMAND:
      if (!state) return FALSE;
      if (HIWORD(wp) == BN_CLICKED && LOWORD(wp) == IDC_cmdTest) {
        RunSlipTest(w, *state);
      } else if (HIWORD(wp) == BN_CLICKED && LOWORD(wp) == IDC_cmdAggiorna) {
        ShowReport(w, ServingStatusText(state->host.ctx, state->host.ticks));
      } else if (HIWORD(wp) == BN_CLICKED && LOWORD(wp) == IDC_cmdRistampa) {
        ShowReport(w, ReprintAllFromWindow(state->host.ctx, state->host.ticks));
      } else if (HIWORD(wp) == BN_CLICKED && LOWORD(wp) == IDC_cmdVerifica) {
        ShowDoctor(w, state->host.ctx);
      } else if (LOWORD(wp) == IDC_ABOUT_CLOSE || LOWORD(wp) == IDC_LIST_CLOSE ||
                 LOWORD(wp) == IDC_STATUS_CLOSE || LOWORD(wp) == IDC_DOCTOR_CLOSE ||
                 LOWORD(wp) == IDCANCEL) {
        ::DestroyWindow(w);
      }
      return TRUE;
    case WM_CLOSE:
      ::DestroyWindow(w);
      return TRUE;
    case WM_NCDESTROY:
      if (state) {
        if (state->font) ::DeleteObject(state->font);
        ToolWindow tool = state->tool;
        ToolHost& host = state->host;
        delete state;
        ::SetWindowLongPtrA(w, GWLP_USERDATA, 0);
        host.closed(tool);
      }
      return FALSE;
    default:
      return FALSE;
  }
}

int DialogOf(ToolWindow tool) {
  switch (tool) {
    case ToolWindow::kAbout:
      return IDD_ABOUT;
    case ToolWindow::kSlipTest:
      return IDD_SLIP_TEST;
    case ToolWindow::kPrinterList:
      return IDD_PRINTER_LIST;
    case ToolWindow::kPrintStatus:
      return IDD_PRINT_STATUS;
    case ToolWindow::kDoctor:
      return IDD_DOCTOR;
  }
  return 0;
}

}  // namespace

HWND OpenToolWindow(ToolWindow tool, ToolHost& host) {
  auto* state = new ToolState{tool, host};
  HWND w = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(DialogOf(tool)),
                                nullptr, ToolProc, reinterpret_cast<LPARAM>(state));
  if (!w) {
    delete state;
    return nullptr;
  }
  ::ShowWindow(w, SW_SHOW);
  ::SetForegroundWindow(w);
  return w;
}

}  // namespace valico::gui
