// The tray program as a user meets it: the real valico.exe under Wine on a virtual display,
// driven from this process with window messages.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <tuple>

#include "config_ui/about_box.h"
#include "config_ui/form_model.h"
#include "config_ui/main_window.h"
#include "config_ui/window_layout.h"
#include "gui_win32/control_ids.h"
#include "gui_win32/resource_ids.h"
#include "gui_win32/tray_icon.h"
#include "platform/testing/temp_folder.h"
#include "platform/testing/valico_program_win32.h"
#include "platform/testing/wait_for.h"
#include "receipt/printer_list.h"
#include "receipt/slip_calibration.h"
#include "shell/doctor.h"
#include "shell/print_status_window.h"

namespace valico::gui {
namespace {

using namespace std::chrono_literals;
using testing::WaitFor;

// valico.exe started without a command, as the autostart starts it.
class TrayProgram : public testing::ValicoProgram {
 public:
  explicit TrayProgram(const std::string& home) : ValicoProgram(home, "") {}

  // Its top-level window of `title` and `window_class`, once it is there (null otherwise).
  HWND Find(const char* title, const char* window_class = "#32770",
            std::chrono::milliseconds limit = 20s) const {
    HWND found = nullptr;
    WaitFor(
        [&] {
          for (HWND w = nullptr; (w = ::FindWindowExA(nullptr, w, window_class, title));) {
            DWORD pid = 0;
            ::GetWindowThreadProcessId(w, &pid);
            if (pid == id()) return (found = w) != nullptr;
          }
          return false;
        },
        limit);
    return found;
  }
  // The main window once the load has ended (the timer runs, the controls are filled).
  HWND MainWindow(const testing::TempFolder& home) const {
    HWND w = Find(kWindowCaption);
    if (!w ||
        !WaitFor([&] { return home.Read("Valico.log").find("started in") != std::string::npos; },
                 20s))
      return nullptr;
    return w;
  }
};

std::string Text(HWND w) {
  std::string text(static_cast<size_t>(::SendMessageA(w, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
  text.resize(static_cast<size_t>(
      ::SendMessageA(w, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

HWND Item(HWND window, const char* name) { return ::GetDlgItem(window, ControlIdOf(name)); }
HWND Button(HWND window, WindowCommand command) {
  return ::GetDlgItem(window, CommandIdOf(command));
}
// A command of the menu bar, as a click on its item gives it.
void Menu(HWND window, WindowCommand command) {
  ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(CommandIdOf(command), 0), 0);
}
void ShowFromTheTray(HWND window) {
  ::SendMessageA(window, kTrayMessage, kTrayIconId, WM_LBUTTONUP);
}

void Type(HWND window, const char* name, const char* text) {
  ::SendMessageA(Item(window, name), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

// A choice of a drop-down list, as the user makes it: the selection, then its notice.
void Choose(HWND window, const char* name, const char* item) {
  HWND combo = Item(window, name);
  LRESULT index = ::SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(item));
  ASSERT_NE(index, CB_ERR) << name << " offers no " << item;
  ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  ::SendMessageA(window, WM_COMMAND, MAKEWPARAM(ControlIdOf(name), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

void Click(HWND button) { ::SendMessageA(button, BM_CLICK, 0, 0); }

// Answers the program's message box (titled as the application) with `button`; its text, or
// "(no box)".
std::string Answer(const TrayProgram& valico, int button) {
  HWND box = valico.Find("Valico", "#32770", 10s);
  if (!box) return "(no box)";
  std::string text = Text(::GetDlgItem(box, 0xFFFF));
  ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
  return WaitFor([&] { return !::IsWindow(box); }, 10s) ? text : "(box left open)";
}

// `text` (lines of key=value) with each of `keys` holding its new value.
std::string Edited(std::string text,
                   std::initializer_list<std::pair<std::string, std::string>> keys) {
  for (const auto& [key, value] : keys) {
    size_t at = text.find("\n" + key + "=");
    if (at == std::string::npos) return "no key " + key;
    at += key.size() + 2;
    text.replace(at, text.find("\r\n", at) - at, value);
  }
  return text;
}

// Hidden at the start with the ticks running behind it; the tray's left button shows it; edits
// reach the file only by the save, byte for byte; "Esci" answered No hides it again.
TEST(TrayProgramTest, StartsHiddenSavesTheWindowAndHides) {
  testing::TempFolder home;
  home.Write("_Valico.ini", "[Varie]\r\nCORT_Active=-1\r\n");
  TrayProgram valico(home.path());
  HWND window = valico.MainWindow(home);
  ASSERT_NE(window, nullptr) << home.Read("Valico.log");
  EXPECT_FALSE(WaitFor([&] { return ::IsWindowVisible(window) != FALSE; }, 1s))
      << "the window is never seen at start";
  home.Write("CortBorea/job.txt", "N2:01:Tavolo 5\r\n");  // a pre-bill job
  EXPECT_TRUE(WaitFor([&] { return !home.Has("CortBorea/job.txt"); }, 10s));

  ::SendMessageA(window, kTrayMessage, kTrayIconId, WM_RBUTTONUP);
  EXPECT_FALSE(::IsWindowVisible(window)) << "the right button does nothing";
  ShowFromTheTray(window);
  ASSERT_TRUE(::IsWindowVisible(window));
  // Every change of the second receipt file stores the second printer at once.
  Type(window, controls::RF_FILE_2, "R2.txt");
  EXPECT_NE(home.Read("_Valico.ini").find("RF_FILE_2=R2.txt\r\n"), std::string::npos);
  Click(Button(window, WindowCommand::kSalva));  // untouched: every key as the load shows it
  const std::string stored = home.Read("_Valico.ini");

  Type(window, controls::MF_Delay, "abc");
  Type(window, controls::MF_File, "C:\\Caff\xe8\\Scontrino.txt ");  // Windows-1252, blank kept
  Click(Item(window, controls::DLY_Active));  // ticked, but the display is "NON PRESENTE"
  Choose(window, controls::DLY_Type, "NON PRESENTE");
  Click(Item(window, controls::Cort_Logo));
  Choose(window, controls::Cort_Printer, "DPT-282");
  EXPECT_EQ(home.Read("_Valico.ini"), stored) << "edits reach the file only by the save";

  Click(Button(window, WindowCommand::kSalva));
  const std::string saved = home.Read("_Valico.ini");
  EXPECT_EQ(saved, Edited(stored, {{"Display_Type", "NON PRESENTE"},
                                   {"MF_File", "C:\\Caff\xe8\\Scontrino.txt "},
                                   {"MF_Ritardo", "abc"},
                                   {"CORT_Printer", "DPT-282"},
                                   {"CORT_Logo", "1"}}));
  EXPECT_EQ(::SendMessageA(Item(window, controls::DLY_Active), BM_GETCHECK, 0, 0), BST_UNCHECKED)
      << "the reload shows the stored flag";
  EXPECT_EQ(Text(Item(window, controls::MF_Delay)), "50") << "the number the model kept";

  // Writes that fail (the file held open by another program, which lets it be read only) leave
  // their keys as they were, and the reload shows the stored values.
  HANDLE held = ::CreateFileA((home / "_Valico.ini").c_str(), GENERIC_READ, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  Type(window, controls::MF_File, "C:\\Altro.txt");
  Click(Button(window, WindowCommand::kSalva));
  ::CloseHandle(held);
  EXPECT_EQ(home.Read("_Valico.ini"), saved);
  EXPECT_EQ(Text(Item(window, controls::MF_File)), "C:\\Caff\xe8\\Scontrino.txt")
      << "the stored value, read as Windows reads it (trailing blanks dropped)";

  Click(Button(window, WindowCommand::kNascondi));
  EXPECT_FALSE(::IsWindowVisible(window));
  ShowFromTheTray(window);
  Menu(window, WindowCommand::kEsci);
  ASSERT_EQ(Answer(valico, IDNO), kExitQuestion);
  EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(window); }, 5s));
  EXPECT_EQ(valico.EndedWith(0ms), -1);
}

// The tools of the menus: each a single window beside the main one; the program ends only
// once they are closed too. The buttons reach their routines.
TEST(TrayProgramTest, ToolWindowsAreSingleAndOutliveTheMainWindow) {
  testing::TempFolder home;
  home.Write("_Valico.ini", "[Varie]\r\nCORT_COM=29\r\n");  // a port that is not there
  TrayProgram valico(home.path());
  HWND window = valico.MainWindow(home);
  ASSERT_NE(window, nullptr);

  Menu(window, WindowCommand::kAbout);
  HWND about = valico.Find(AboutBoxText::kTitle);
  ASSERT_NE(about, nullptr);
  Menu(window, WindowCommand::kAbout);
  EXPECT_FALSE(
      WaitFor([&] { return valico.Find(AboutBoxText::kTitle, "#32770", 0ms) != about; }, 1s))
      << "one About box";
  EXPECT_EQ(Text(::GetDlgItem(about, IDC_ABOUT_BOREA)), AboutBoxText::kBorea);

  Menu(window, WindowCommand::kStampaPorte);
  HWND list = valico.Find(PrinterListWindowText::kTitle);
  ASSERT_NE(list, nullptr);
  std::string printers;
  if (FILE* out = ::_popen((testing::TestProgram("valico") + " printers").c_str(), "rb")) {
    for (int c; (c = std::fgetc(out)) != EOF;) printers += static_cast<char>(c);
    ::_pclose(out);
  }
  EXPECT_EQ(Text(::GetDlgItem(list, IDC_txListaStampanti)), printers)
      << "the list that `valico printers` prints";

  Menu(window, WindowCommand::kStatoStampe);
  HWND status = valico.Find(PrintStatusWindowText::kTitle);
  ASSERT_NE(status, nullptr);
  std::string report = Text(::GetDlgItem(status, IDC_txStatoStampe));
  EXPECT_NE(report.find("\r\nServizio: attivo (un Valico serve questa cartella)\r\n"),
            std::string::npos)
      << report;
  EXPECT_NE(report.find("\r\nNON STAMPATI (NonStampati): 0\r\n"), std::string::npos) << report;

  Menu(window, WindowCommand::kVerificaInstallazione);
  HWND doctor = valico.Find(DoctorWindowText::kTitle);
  ASSERT_NE(doctor, nullptr);
  std::wstring check(8192, L'\0');
  check.resize(::GetDlgItemTextW(doctor, IDC_txVerifica, check.data(), 8192));
  EXPECT_NE(check.find(L"\u2713 Valico su questa cartella: la serve questo programma\r\n"),
            std::wstring::npos);

  // Without the slip printer in the settings the test says so, and prints nothing.
  Menu(window, WindowCommand::kStrU295);
  HWND slip = valico.Find(SlipTestWindowText::kTitle);
  ASSERT_NE(slip, nullptr);
  EXPECT_EQ(Text(::GetDlgItem(slip, IDC_testRow)), SlipTestWindowText::kRows);
  ::PostMessageA(::GetDlgItem(slip, IDC_cmdTest), BM_CLICK, 0, 0);
  EXPECT_EQ(Answer(valico, IDOK).rfind("Nella schermata principale", 0), 0u);

  // Command1's test line says why it was not sent.
  ::PostMessageA(Button(window, WindowCommand::kCommand1), BM_CLICK, 0, 0);
  EXPECT_EQ(Answer(valico, IDOK).rfind("Errore: ", 0), 0u);

  Menu(window, WindowCommand::kEsci);
  ASSERT_EQ(Answer(valico, IDYES), kExitQuestion);
  EXPECT_EQ(valico.EndedWith(1s), -1) << "the tools are still open";
  Click(::GetDlgItem(about, IDC_ABOUT_CLOSE));
  Click(::GetDlgItem(list, IDC_LIST_CLOSE));
  Click(::GetDlgItem(status, IDC_STATUS_CLOSE));
  Click(::GetDlgItem(doctor, IDC_DOCTOR_CLOSE));
  EXPECT_EQ(valico.EndedWith(1s), -1) << "the slip test is still open";
  ::PostMessageA(slip, WM_CLOSE, 0, 0);
  EXPECT_EQ(valico.EndedWith(10s), 0);
  EXPECT_NE(home.Read("Valico.log").find("Valico stopped"), std::string::npos);
}

// The window shows the layout's groups, labels and controls, each of its kind and read-only
// where the window never stores it, labels to the left of their controls, no two controls
// overlapping, and its menu bar.
void ExpectTheLayout(HWND window) {
  struct Kind {
    const char* window_class;
    LONG style_mask, style, read_only_style;
  };
  const std::map<ControlKind, Kind> kinds = {
      {ControlKind::kTextBox, {"Edit", ES_READONLY | ES_PASSWORD, 0, ES_READONLY}},
      {ControlKind::kCheckBox, {"Button", BS_TYPEMASK, BS_AUTOCHECKBOX, BS_CHECKBOX}},
      {ControlKind::kDropDown, {"ComboBox", 3, CBS_DROPDOWNLIST, CBS_DROPDOWNLIST}},
      {ControlKind::kCombo, {"ComboBox", 3, CBS_DROPDOWN, CBS_DROPDOWN}}};
  std::vector<std::pair<std::string, RECT>> placed;
  auto place = [&](const std::string& what, HWND w) {
    RECT r{};
    ::GetWindowRect(w, &r);
    placed.emplace_back(what, r);
    return r;
  };
  size_t controls = 0;
  int group_id = kFirstGroupId;
  for (const LayoutGroup& group : WindowGroups()) {
    if (*group.heading) {
      EXPECT_EQ(Text(::GetDlgItem(window, group_id++)), group.heading);
    }
    for (const LayoutField& field : group.fields) {
      SCOPED_TRACE(field.control);
      ++controls;
      HWND w = Item(window, field.control);
      ASSERT_NE(w, nullptr);
      const Kind& kind = kinds.at(field.kind);
      char cls[32] = "";
      ::GetClassNameA(w, cls, sizeof(cls));
      EXPECT_STREQ(cls, kind.window_class);
      EXPECT_EQ(::GetWindowLongA(w, GWL_STYLE) & kind.style_mask,
                (field.stored == Stored::kReadOnly ? kind.read_only_style : kind.style) |
                    (field.password ? ES_PASSWORD : 0));
      if (field.kind == ControlKind::kTextBox) {
        LRESULT selection = ::SendMessageA(w, EM_GETSEL, 0, 0);
        EXPECT_EQ(LOWORD(selection), HIWORD(selection)) << "no text selected";
      }
      if (field.kind == ControlKind::kCheckBox) {
        EXPECT_EQ(Text(w), "") << "a check box has no caption of its own";
      }
      RECT control = place(field.control, w);
      if (!*field.label) continue;
      HWND label = ::GetDlgItem(window, ControlIdOf(field.control) + kLabelOffset);
      ASSERT_NE(label, nullptr);
      EXPECT_EQ(Text(label), field.label);
      RECT l = place(std::string("label of ") + field.control, label);
      EXPECT_LE(l.right, control.left) << "the label stands left of its control";
      EXPECT_TRUE(l.top < control.bottom && l.bottom > control.top) << "beside it";
    }
  }
  EXPECT_EQ(controls, FormModel().size()) << "every control of the form, once";
  for (const LayoutButton& button : WindowButtons()) {
    HWND w = Button(window, button.command.command);
    EXPECT_EQ(Text(w), button.command.caption);
    place(button.command.name, w);
  }
  for (size_t i = 0; i < placed.size(); ++i) {
    for (size_t j = i + 1; j < placed.size(); ++j) {
      RECT overlap;
      RECT a = placed[i].second, b = placed[j].second;
      // Drop-down lists: only their closed height counts.
      EXPECT_FALSE(::IntersectRect(&overlap, &a, &b))
          << placed[i].first << " overlaps " << placed[j].first;
    }
  }
  EXPECT_NE(::GetMenu(window), nullptr) << "the menu bar";
}

// One copy per folder: a second start shows the first one's window and ends; a copy on another
// folder runs. WM_CLOSE from outside (the installer's upgrade) ends a copy cleanly.
TEST(TrayProgramTest, TheWindowMatchesTheLayoutOneCopyPerFolderAndWmCloseEndsIt) {
  testing::TempFolder home, other;
  TrayProgram first(home.path());
  HWND window = first.MainWindow(home);
  ASSERT_NE(window, nullptr);
  ASSERT_FALSE(::IsWindowVisible(window));
  ExpectTheLayout(window);

  TrayProgram second(home.path());
  EXPECT_EQ(second.EndedWith(20s), 0);
  EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(window) != FALSE; }, 5s))
      << "the second start shows the first one's window";

  TrayProgram elsewhere(other.path());
  HWND other_window = elsewhere.MainWindow(other);
  EXPECT_NE(other_window, nullptr) << "a copy on another folder runs";

  for (auto [copy, w, folder] :
       {std::tuple{&first, window, &home}, {&elsewhere, other_window, &other}}) {
    if (!w) continue;
    ::PostMessageA(w, WM_CLOSE, 0, 0);
    EXPECT_EQ(copy->EndedWith(10s), 0);
    EXPECT_NE(folder->Read("Valico.log").find("Valico stopped"), std::string::npos);
  }
}

}  // namespace
}  // namespace valico::gui
