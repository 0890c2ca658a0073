#include "gui_win32/main_dialog.h"

#include <commctrl.h>
#include <windowsx.h>

#include "config_ui/window_layout.h"
#include "gui_win32/control_ids.h"
#include "gui_win32/main_window_build.h"
#include "gui_win32/resource_ids.h"
#include "prebill/serial_prebill.h"

namespace valico::gui {
namespace {

std::string WindowText(HWND control) {
  std::string text(static_cast<size_t>(::GetWindowTextLengthA(control)) + 1, '\0');
  text.resize(static_cast<size_t>(::GetWindowTextA(control, text.data(), text.size())));
  return text;
}

// Every field of the layout with its control's identifier.
template <typename F>
void ForEachField(F&& f) {
  int id = kFirstControlId;
  for (const LayoutGroup& group : WindowGroups()) {
    for (const LayoutField& field : group.fields) f(field, id++);
  }
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
  BuildMainWindow(hwnd_);
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

// Every control's tooltip, asked for when it shows, so that it holds the value of that moment.
void MainDialog::AddTooltips() {
  HWND tips = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_,
                                nullptr, ::GetModuleHandleA(nullptr), nullptr);
  if (!tips) return;
  ::SendMessageA(tips, TTM_SETMAXTIPWIDTH, 0, 600);  // lines break at "\n"
  ::SendMessageA(tips, TTM_SETDELAYTIME, TTDT_AUTOPOP, 30000);
  ForEachField([&](const LayoutField&, int id) {
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(::GetDlgItem(hwnd_, id));
    tool.lpszText = LPSTR_TEXTCALLBACKA;
    ::SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  });
}

// The text of a tooltip about to show.
void MainDialog::TipText(NMTTDISPINFOA* info) {
  const LayoutField* field = FieldOfId(::GetDlgCtrlID(reinterpret_cast<HWND>(info->hdr.idFrom)));
  if (!field) return;
  tip_ = FieldTip(*field, ctx_.form.Text(field->control));
  info->lpszText = tip_.data();
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
  ForEachField([&](const LayoutField& field, int id) { ControlFromForm(field.control, id); });
  filling_ = false;
}

void MainDialog::ControlFromForm(const char* name, int id) {
  const Control& control = ctx_.form.Get(name);
  HWND h = ::GetDlgItem(hwnd_, id);
  switch (control.kind) {
    case ControlKind::kCheckBox:
      ::CheckDlgButton(hwnd_, id, control.value ? BST_CHECKED : BST_UNCHECKED);
      break;
    case ControlKind::kTextBox:
      ::SetWindowTextA(h, control.text.c_str());
      break;
    case ControlKind::kDropDown:
    case ControlKind::kCombo:
      ::SendMessageA(h, CB_RESETCONTENT, 0, 0);
      for (const std::string& entry : ctx_.form.Entries(name))
        ::SendMessageA(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
      ::SendMessageA(h, CB_SETCURSEL, static_cast<WPARAM>(ctx_.form.CurrentEntry(name)), 0);
      if (control.kind == ControlKind::kCombo && control.selected < 0)
        ::SetWindowTextA(h, control.text.c_str());
      break;
  }
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
      if (name == std::string_view(controls::RF_FILE_2)) window_.RF_FILE_2_Change();
      break;
    case ControlKind::kDropDown:
    case ControlKind::kCombo:
      if (code == CBN_SELCHANGE) {
        ctx_.form.Choose(name, static_cast<int>(::SendMessageA(h, CB_GETCURSEL, 0, 0)));
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

void MainDialog::Unselect() {
  HWND focus = ::GetFocus();
  char cls[16] = "";
  if (focus && ::IsChild(hwnd_, focus) && ::GetClassNameA(focus, cls, sizeof(cls)) &&
      ::lstrcmpiA(cls, "Edit") == 0)
    ::SendMessageA(focus, EM_SETSEL, static_cast<WPARAM>(-1), 0);
}

// The serial pre-bill printer's test line, as `valico prebill-test` sends it.
void MainDialog::Command1() {
  SerialPrebill prebill(ctx_.cfg, ctx_.svc.regional, ctx_.com_preconto, ctx_.svc.files,
                        ctx_.svc.log, dialogs_);
  prebill.Command1_Click();
}

void MainDialog::OnCommand(int id, int code) {
  if (const LayoutField* field = FieldOfId(id)) {
    if (!filling_ && field->stored != Stored::kReadOnly) ControlToForm(field->control, id, code);
    return;
  }
  // IDCANCEL (Esc) and IDOK (Enter in a field) are no command: Enter never saves.
  WindowCommand command;
  if (!CommandOfId(id, &command)) return;
  switch (command) {
    case WindowCommand::kSalva:
      window_.cmdSalva_Click();
      FormToControls();
      break;
    case WindowCommand::kNascondi:
      window_.cmdNascondi_Click();
      break;
    case WindowCommand::kCommand1:
      Command1();
      break;
    case WindowCommand::kEsci:
      window_.Esci_Click();
      break;
    case WindowCommand::kStrU295:
      OpenTool(ToolWindow::kSlipTest);
      break;
    case WindowCommand::kStampaPorte:
      OpenTool(ToolWindow::kPrinterList);
      break;
    case WindowCommand::kStatoStampe:
      OpenTool(ToolWindow::kPrintStatus);
      break;
    case WindowCommand::kVerificaInstallazione:
      OpenTool(ToolWindow::kDoctor);
      break;
    case WindowCommand::kAbout:
      OpenTool(ToolWindow::kAbout);
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
    case WM_NOTIFY:
      if (reinterpret_cast<NMHDR*>(lp)->code == TTN_GETDISPINFOA)
        TipText(reinterpret_cast<NMTTDISPINFOA*>(lp));
      return TRUE;
    case WM_ACTIVATE:
      // The dialog gives the focus back with the field's text selected, where one keystroke
      // would replace it: once it has, the selection goes.
      if (LOWORD(wp) != WA_INACTIVE) ::PostMessageA(hwnd_, kUnselectMessage, 0, 0);
      return FALSE;
    case kUnselectMessage:
      Unselect();
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
