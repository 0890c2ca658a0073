#include "config_ui/main_window.h"

#include <gtest/gtest.h>

#include "config_ui/load_settings.h"
#include "platform/testing/test_platform.h"

namespace valico {
namespace {

namespace c = controls;

// Shows what the window would: visibility, the icon, and every question asked.
struct RecordingToolkit : WindowToolkit {
  void SetVisible(bool v) override { visible = v; }
  bool AddTrayIcon() override {
    icon = icon_works;
    return icon_works;
  }
  void RemoveTrayIcon() override { icon = false; }
  bool visible = true;  // a window is visible while it loads, until the load hides it
  bool icon = false;
  bool icon_works = true;
};

struct ScriptedDialogs : Dialogs {
  void Message(std::string_view text, std::string_view) override { asked.emplace_back(text); }
  bool Question(std::string_view text, bool) override {
    asked.emplace_back(text);
    return answer;
  }
  std::vector<std::string> asked;
  bool answer = true;
};

struct MainWindowTest : ::testing::Test, testing::TestPlatform {
  MainWindowTest() {
    cfg.IniValico = InFolder("_Valico.ini");
    ini.SetValicoIni(cfg.IniValico);
    for (const char* item : {"NON PRESENTE", "ASEM"}) form.AddItem(c::DLY_Type, item);
    for (const char* item : {"0 - NON PRESENTE", "106 - RCH GLOBE"}) form.AddItem(c::MF_Type, item);
    for (const char* item : {"NON PRESENTE", "DPT-282"}) form.AddItem(c::Cort_Printer, item);
  }
  IniStore ini{files, regional, log};
  Config cfg;
  FormModel form;
  SerialControl mscomm1{serial, log, "display port"};
  SerialControl com_preconto{serial, log, "pre-bill port"};
  ScriptedDialogs questions;
  RecordingToolkit toolkit;
  MainWindow window{{ini, cfg, form, mscomm1, com_preconto}, questions, log, toolkit};
};

TEST_F(MainWindowTest, SaveWritesTheWindowInItsOrderAndReloadsIt) {
  WriteValico("MF_Ritardo=20\r\nMF_Driver=C:\\drv.exe\r\nCort_Sett=4800,E,7,1\r\n");
  CaricaSettaggi(ini, cfg, form, mscomm1, com_preconto);
  form.SetText(c::BoreaDir, "D:\\Borea ");  // stored as shown: no trimming
  form.SetChecked(c::chkBorea, false);
  form.SetChecked(c::DLY_Active, true);
  form.SetText(c::DLY_Type, "ASEM");
  form.SetText(c::DLY_com, "3");
  form.SetChecked(c::MF_Active, true);
  form.SetText(c::MF_Type, "0 - NON PRESENTE");  // no register: not in use, ticked or not
  form.SetText(c::MF_Delay, "abc");
  form.SetChecked(c::MF_Buffer, true);
  form.SetChecked(c::RF_Active, true);
  form.SetText(c::RF_File, "   ");  // no receipt file: not in use
  form.SetChecked(c::Cort_Active, true);
  form.SetText(c::Cort_Printer, "DPT-282");
  form.SetText(c::Cort_COM, "Ne01");
  form.SetChecked(c::Cort_Logo, true);
  ASSERT_TRUE(cfg.MF_Ritardo == 20 && !cfg.Display_Active)
      << "edits reach the model only by a save";

  window.cmdSalva_Click();

  EXPECT_EQ(folder.Read("_Valico.ini"),
            "[Varie]\r\nMF_Ritardo=abc\r\nMF_Driver=C:\\drv.exe\r\nCort_Sett=4800,E,7,1\r\n"
            "Borea_Directory=D:\\Borea \r\nBorea_Setting=0\r\n"
            "Display_Active=-1\r\nDisplay_File=C:\\Valico\\Display.txt\r\nDisplay_Type=ASEM\r\n"
            "Display_COM=3\r\nDisplay_Parametri=\r\n"
            "MF_Active=0\r\nMF_File=\r\nMF_File_Output=\r\nMF_Type=0 - NON PRESENTE\r\n"
            "MF_Prot=\r\nMF_COM=1\r\nMF_Parametri=9600,N,8,1\r\nMF_Buffer=1\r\n"
            "RF_Active=0\r\nRF_Stampante=\r\nRF_Seriale=\r\nRF_File=   \r\nRF_Righe=0\r\n"
            "CORT_Active=-1\r\nCORT_Printer=DPT-282\r\nCORT_File=\r\nCORT_COM=Ne01\r\n"
            "CORT_Logo=1\r\n");
  // The reload: "1" reads back as a true flag.
  EXPECT_TRUE(cfg.MF_Buffer && cfg.Cort_Logo && cfg.Cort_Active && cfg.Display_Active);
  EXPECT_FALSE(cfg.SettaggiBorea || cfg.MF_Active || cfg.RF_Active);
  EXPECT_FALSE(form.Checked(c::MF_Active)) << "the box shows the stored flag";
  EXPECT_TRUE(questions.asked.empty()) << "the save shows no message";
}

// A display switched off keeps its model, port and settings through a save, though neither
// the model nor the port takes them.
TEST_F(MainWindowTest, ASaveWithTheDisplayOffKeepsItsSettings) {
  const std::string display =
      "Display_Active=0\r\nDisplay_File=D:\\Dis.txt\r\nDisplay_Type=ASEM\r\n"
      "Display_COM=3\r\nDisplay_Parametri=4800,N,8,1\r\n";
  WriteValico(display);
  mscomm1.SetPort(9);
  CaricaSettaggi(ini, cfg, form, mscomm1, com_preconto);
  window.cmdSalva_Click();
  EXPECT_EQ(folder.Read("_Valico.ini").rfind("[Varie]\r\n" + display, 0), 0u)
      << folder.Read("_Valico.ini");
}

TEST_F(MainWindowTest, EveryChangeOfTheSecondReceiptFileStoresTheSecondPrinter) {
  form.SetText(c::RF_COM_2, "4");
  std::string typed;
  for (char ch : std::string("C:\\r")) {
    typed += ch;
    form.SetText(c::RF_FILE_2, typed);
    window.RF_FILE_2_Change();
    EXPECT_EQ(folder.Read("_Valico.ini"),
              "[VARIE]\r\nRF_FILE_2=" + typed + "\r\nRF_PRINTER_2=\r\nRF_COM_2=4\r\n");
  }
}

TEST_F(MainWindowTest, TrayHideShowAndExit) {
  EXPECT_EQ(window.state(), MainWindowState::kLoading);
  EXPECT_FALSE(window.Ticking());
  window.LoadEnded();
  EXPECT_TRUE(!toolkit.visible && toolkit.icon && window.Ticking());

  for (int other : {512, 513, 515, 516, 517, 518}) window.TrayCallback(other);
  EXPECT_EQ(window.state(), MainWindowState::kHidden) << "only a left-button release shows it";
  window.TrayCallback(kTrayLeftButtonUp);
  EXPECT_TRUE(toolkit.visible && toolkit.icon && window.state() == MainWindowState::kShown);
  window.cmdNascondi_Click();
  EXPECT_TRUE(!toolkit.visible && toolkit.icon && window.state() == MainWindowState::kHidden);

  // "Esci" answered No: hidden, the icon stays, and the display port was closed all the same.
  window.TrayCallback(kTrayLeftButtonUp);
  ASSERT_TRUE(mscomm1.Open());
  questions.answer = false;
  window.Esci_Click();
  EXPECT_EQ(questions.asked, std::vector<std::string>{"Chiudere il programma"});
  EXPECT_TRUE(!mscomm1.IsOpen() && !toolkit.visible && toolkit.icon && window.Ticking());

  // Answered Yes with two tool windows open: the icon goes, the timer stops, and the program
  // ends once both are closed.
  window.TrayCallback(kTrayLeftButtonUp);
  EXPECT_TRUE(window.OpenTool(ToolWindow::kAbout));
  EXPECT_FALSE(window.OpenTool(ToolWindow::kAbout)) << "one instance: brought forward";
  EXPECT_TRUE(window.OpenTool(ToolWindow::kPrinterList));
  questions.answer = true;
  window.Esci_Click();
  EXPECT_TRUE(!toolkit.icon && !window.Ticking());
  window.ToolClosed(ToolWindow::kAbout);
  EXPECT_FALSE(window.Finished()) << "the printer list is still open";
  window.ToolClosed(ToolWindow::kPrinterList);
  EXPECT_TRUE(window.Finished());
  window.TrayCallback(kTrayLeftButtonUp);
  EXPECT_FALSE(toolkit.visible) << "an unloaded window cannot be shown again";
}

TEST_F(MainWindowTest, AnIconThatCannotBeAddedIsLoggedOnceAndTheCloseBoxAsksNothing) {
  toolkit.icon_works = false;
  window.LoadEnded();
  window.TrayCallback(kTrayLeftButtonUp);
  window.cmdNascondi_Click();
  EXPECT_TRUE(window.Ticking());
  int said = 0;
  for (const std::string& line : log.lines()) said += line.find("tray icon") != std::string::npos;
  EXPECT_EQ(said, 1);
  window.CloseBox();
  EXPECT_TRUE(questions.asked.empty());
  EXPECT_TRUE(window.Finished());
}

}  // namespace
}  // namespace valico
