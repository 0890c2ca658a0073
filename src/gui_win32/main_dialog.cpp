#include "gui_win32/main_dialog.h"

#include <commctrl.h>
#include <windowsx.h>

#include "config_ui/window_layout.h"
#include "gui_win32/control_ids.h"
#include "prebill/serial_prebill.h"

namespace valico::gui {
namespace {

std::string WindowText(HWND control) {
  std::string text(static_cast<size_t>(::GetWindowTextLengthA(control)) + 1, '\0');
  text.resize(static_cast<size_t>(::GetWindowTextA(control, text.data(), text.size())));
  return text;
}

std::string ItemText(HWND combo, LRESULT index) {
  LRESULT length = ::SendMessageA(combo, CB_GETLBTEXTLEN, index, 0);
  if (length == CB_ERR) return "";
  std::string text(static_cast<size_t>(length) + 1, '\0');
  LRESULT got = ::SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(got == CB_ERR ? 0 : static_cast<size_t>(got));
  return text;
}

const char* NameOf(int id) {
  for (const ControlId& c : kControlIds) {
    if (c.id == id) return c.name;
  }
  return nullptr;
}

}  // namespace

MainDialog::MainDialog(Context& ctx, Dialogs& dialogs, UINT show_message)
    : ctx_(ctx),
      dialogs_(dialogs),
      window_({ctx.ini, ctx.cfg, ctx.form, ctx.mscomm1, ctx.com_preconto}, dialogs, ctx.svc.log,
              *this),
      show_message_(show_message),
      taskbar_created_(::RegisterWindowMessageA("TaskbarCreated")),
      tool_host_{ctx, dialogs, [this](ToolWindow tool) {
                   window_.ToolClosed(tool);
                   tools_[static_cast<int>(tool)] = nullptr;
                 }} {}

MainDialog::~MainDialog() {
  for (HWND tool : tools_) {
    if (tool) ::DestroyWindow(tool);
  }
  tray_.reset();
  if (hwnd_) ::DestroyWindow(hwnd_);
  if (icon_) ::DestroyIcon(icon_);
  if (small_icon_) ::DestroyIcon(small_icon_);
}

bool MainDialog::Create() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  hwnd_ = ::CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, Proc,
                               reinterpret_cast<LPARAM>(this));
  return hwnd_ != nullptr;
}

void MainDialog::Initialise() {
  ::SetWindowTextA(hwnd_, kWindowCaption);
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  icon_ = static_cast<HICON>(::LoadImageA(instance, MAKEINTRESOURCEA(IDI_VALICO), IMAGE_ICON,
                                          ::GetSystemMetrics(SM_CXICON),
                                          ::GetSystemMetrics(SM_CYICON), 0));
  small_icon_ = static_cast<HICON>(::LoadImageA(instance, MAKEINTRESOURCEA(IDI_VALICO), IMAGE_ICON,
                                                ::GetSystemMetrics(SM_CXSMICON),
                                                ::GetSystemMetrics(SM_CYSMICON), 0));
  ::SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  ::SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_));
  tray_ = std::make_unique<TrayIcon>(hwnd_, small_icon_);
  AddTooltips();
}

void MainDialog::AddTooltips() {
  HWND tips = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_,
                                nullptr, ::GetModuleHandleA(nullptr), nullptr);
  if (!tips) return;
  auto add = [&](const char* name, const char* tip) {
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(::GetDlgItem(hwnd_, ControlIdOf(name)));
    tool.lpszText = const_cast<char*>(tip);
    ::SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  };
  for (const LayoutGroup& group : WindowGroups()) {
    for (const LayoutField& field : group.fields) {
      if (!field.tip) continue;
      add(field.control, field.tip);
      if (field.second) add(field.second, field.tip);
    }
  }
}

void MainDialog::LoadEnded(ServiceTicks& ticks) {
  ticks_ = &ticks;
  tool_host_.ticks = &ticks;
  FormToControls();
  window_.LoadEnded();
  ::SetTimer(hwnd_, kTickTimer, 500, nullptr);
}

void MainDialog::Pass() {
  if (!ticks_ || in_pass_ || !window_.Ticking()) return;
  in_pass_ = true;
  bool backlog = ticks_->Tick();
  in_pass_ = false;
  if (backlog) ::PostMessageA(hwnd_, kPassMessage, 0, 0);
}

bool MainDialog::IsDialogMessageOfAny(MSG* message) {
  if (hwnd_ && ::IsDialogMessageA(hwnd_, message)) return true;
  for (HWND tool : tools_) {
    if (tool && ::IsDialogMessageA(tool, message)) return true;
  }
  return false;
}

void MainDialog::SetVisible(bool visible) {
  if (!visible) {
    ::ShowWindow(hwnd_, SW_HIDE);
    return;
  }
  // A window the user minimised comes back at its size.
  ::ShowWindow(hwnd_, ::IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
  ::SetForegroundWindow(hwnd_);
}

bool MainDialog::AddTrayIcon() { return tray_ && tray_->Add(); }

void MainDialog::RemoveTrayIcon() {
  if (tray_) tray_->Remove();
}

// The controls show the form: after the load, and after the save's reload.
void MainDialog::FormToControls() {
  filling_ = true;
  for (const ControlId& c : kControlIds) {
    const Control& control = ctx_.form.Get(c.name);
    HWND h = ::GetDlgItem(hwnd_, c.id);
    switch (control.kind) {
      case ControlKind::kCheckBox:
        ::CheckDlgButton(hwnd_, c.id, control.value ? BST_CHECKED : BST_UNCHECKED);
        break;
      case ControlKind::kTextBox:
        ::SetWindowTextA(h, control.text.c_str());
        break;
      case ControlKind::kDropDown:
      case ControlKind::kCombo:
        ::SendMessageA(h, CB_RESETCONTENT, 0, 0);
        for (const std::string& item : control.items)
          ::SendMessageA(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        ::SendMessageA(h, CB_SETCURSEL, static_cast<WPARAM>(control.selected), 0);
        if (control.kind == ControlKind::kCombo && control.selected < 0)
          ::SetWindowTextA(h, control.text.c_str());
        break;
    }
  }
  filling_ = false;
}

// An edit of the user reaches the form model at once (and nothing else, but for RF_FILE_2,
// whose every change stores the second receipt printer).
void MainDialog::ControlToForm(const char* name, int id, int code) {
  HWND h = ::GetDlgItem(hwnd_, id);
  switch (ctx_.form.Get(name).kind) {
    case ControlKind::kCheckBox:
      if (code == BN_CLICKED) ctx_.form.SetChecked(name, ::IsDlgButtonChecked(hwnd_, id));
      break;
    case ControlKind::kTextBox:
      if (code != EN_CHANGE) break;
      ctx_.form.SetText(name, WindowText(h));
      if (id == IDC_RF_FILE_2) window_.RF_FILE_2_Change();
      break;
    case ControlKind::kDropDown:
    case ControlKind::kCombo:
      if (code == CBN_SELCHANGE) {
        ctx_.form.SetText(name, ItemText(h, ::SendMessageA(h, CB_GETCURSEL, 0, 0)));
      } else if (code == CBN_EDITCHANGE) {
        ctx_.form.SetText(name, WindowText(h));
      }
      break;
  }
}

void MainDialog::OpenTool(ToolWindow tool) {
  HWND& open = tools_[static_cast<int>(tool)];
  if (!window_.OpenTool(tool)) {
    if (open) {
      ::ShowWindow(open, SW_RESTORE);
      ::SetForegroundWindow(open);
    }
    return;
  }
  open = OpenToolWindow(tool, tool_host_);
  if (!open) window_.ToolClosed(tool);
}

// The serial pre-bill printer's test line, as `valico prebill-test` sends it.
void MainDialog::Command1() {
  SerialPrebill prebill(ctx_.cfg, ctx_.svc.regional, ctx_.com_preconto, ctx_.svc.files,
                        ctx_.svc.log, dialogs_);
  prebill.Command1_Click();
}

void MainDialog::OnCommand(int id, int code) {
  if (const char* name = NameOf(id)) {
    if (!filling_) ControlToForm(name, id, code);
    return;
  }
  switch (id) {
    case IDC_cmdSalva:
      window_.cmdSalva_Click();
      FormToControls();
      break;
    case IDC_cmdNascondi:
      window_.cmdNascondi_Click();
      break;
    case IDC_Command1:
      Command1();
      break;
    case IDM_Esci:
      window_.Esci_Click();
      break;
    case IDM_Str_U295:
      OpenTool(ToolWindow::kSlipTest);
      break;
    case IDM_Stampa_Porte:
      OpenTool(ToolWindow::kPrinterList);
      break;
    case IDM_Stato_Stampe:
      OpenTool(ToolWindow::kPrintStatus);
      break;
    case IDM_Verifica_Installazione:
      OpenTool(ToolWindow::kDoctor);
      break;
    case IDM_About:
      OpenTool(ToolWindow::kAbout);
      break;
    default:  // IDCANCEL (Esc) and IDOK (Enter) do nothing, as in a plain window
      break;
  }
}

INT_PTR MainDialog::Handle(UINT message, WPARAM wp, LPARAM lp) {
  if (message == show_message_ && show_message_ != 0) {
    // A second start on this folder asks for the window.
    window_.TrayCallback(kTrayLeftButtonUp);
    return TRUE;
  }
  if (message == taskbar_created_ && taskbar_created_ != 0) {
    if (tray_) tray_->AddAgain();
    return TRUE;
  }
  switch (message) {
    case kTrayMessage:
      window_.TrayCallback(static_cast<int>(LOWORD(lp)));
      return TRUE;
    case WM_TIMER:
      if (wp == kTickTimer) Pass();
      return TRUE;
    case kPassMessage:
      Pass();
      return TRUE;
    case WM_COMMAND:
      OnCommand(LOWORD(wp), HIWORD(wp));
      return TRUE;
    case WM_CLOSE:  // the close box, and the installer asking the program to end
      window_.CloseBox();
      return TRUE;
    case WM_QUERYENDSESSION:
      ::SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_ENDSESSION:  // logoff or shutdown: end as the close box does, now
      if (wp) {
        window_.CloseBox();
        if (session_end_) session_end_();
      }
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK MainDialog::Proc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<MainDialog*>(lp);
    ::SetWindowLongPtrA(window, GWLP_USERDATA, lp);
    self->hwnd_ = window;
    self->Initialise();
    return FALSE;
  }
  auto* self = reinterpret_cast<MainDialog*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  return self ? self->Handle(message, wp, lp) : FALSE;
}

}  // namespace valico::gui
