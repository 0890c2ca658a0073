#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <deque>

#include "config_ui/window_layout.h"
#include "gui_qt/text_1252.h"
#include "gui_qt/tray_program.h"
#include "platform/testing/temp_folder.h"
#include "printing/unprinted_documents.h"
#include "shell/app.h"

namespace valico {
namespace {

using testing::TempFolder;

// Answers the message boxes as a test says, and keeps what they showed.
class ScriptedDialogs : public Dialogs {
 public:
  using Dialogs::Message;
  void Message(std::string_view text, std::string_view) override { shown.emplace_back(text); }
  bool Question(std::string_view text, bool) override {
    shown.emplace_back(text);
    bool yes = answers.front();
    answers.pop_front();
    return yes;
  }
  std::deque<bool> answers;
  std::vector<std::string> shown;
};

// Every byte a Windows-1252 path may hold above ASCII.
std::string HighBytes() {
  std::string s;
  for (int b = 0x80; b <= 0xFF; ++b) s += static_cast<char>(b);
  return s;
}

// Every key the save writes, with values the load shows as they are, so a save without edits
// rewrites nothing.
std::string SampleIni() {
  return "[Varie]\r\n"
         "Borea_Directory=C:\\CALDERA\r\n"
         "Borea_Setting=0\r\n"
         "Display_Active=-1\r\n"
         "Display_File=C:\\Valico\\Display.txt\r\n"
         "Display_Type=ASEM\r\n"
         "Display_COM=3\r\n"
         "Display_Parametri=9600,N,8,1\r\n"
         "MF_Active=0\r\n"
         "MF_File=C:\\CALDERA\\Casio\\CAS.txt\r\n"
         "MF_File_Output=\r\n"
         "MF_Type=0 - NON PRESENTE\r\n"
         "MF_Prot=Nessuno\r\n"
         "MF_COM=1\r\n"
         "MF_Parametri=9600,N,8,1\r\n"
         "MF_Buffer=0\r\n"
         "MF_Ritardo=50\r\n"
         "RF_Active=-1\r\n"
         "RF_Stampante=EPSON TM-U295 Slip\r\n"
         "RF_Seriale=3\r\n"
         "RF_File=C:\\Ricevute\\" +
         HighBytes() +
         "\\Ricevuta.txt\r\n"
         "RF_Righe=41\r\n"
         "CORT_Active=0\r\n"
         "CORT_Printer=STAMPANTE NUOVA\r\n"
         "CORT_File=C:\\CALDERA\\LogoCassa.bmp\r\n"
         "CORT_COM=5\r\n"
         "CORT_Logo=0\r\n";
}

// A tray program over a real program folder holding the sample settings, one slip printer and
// a virtual pole display on COM3.
struct Desktop {
  explicit Desktop(bool tray_available) {
    tray = tray_available;
    home.Write("_Valico.ini", SampleIni());
    home.Write("_Stampanti.ini", "[EPSON TM-U295 Slip]\r\nPorta=COM3:\r\nTipo=Modulo\r\n");
    home.Write("drive_c/Valico/.keep", "");
    MachineOptions options;
    options.home = home.path();
    options.com_ports[3] = "display:" + home / "screen.txt";
    options.com_ports[5] = "display:" + home / "prebill.txt";  // the pre-bill printer's port
    options.log_to_stderr = false;
    app = std::make_unique<App>(CompleteFromEnvironment(options), [](DiagLog&) {
      return std::unique_ptr<Dialogs>(std::make_unique<ScriptedDialogs>());
    });
    program = std::make_unique<TrayProgram>(app->ctx(), [this] { return tray; });
    program->Start();
  }
  ConfigWindow& window() { return program->window(); }
  template <typename W>
  W* Find(const char* name) {
    W* w = window().findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  void Click(const char* button) { QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton); }
  void Menu(const char* item) { Find<QAction>(item)->trigger(); }
  std::string Ini() const { return home.Read("_Valico.ini"); }
  ScriptedDialogs& dialogs() { return static_cast<ScriptedDialogs&>(app->ctx().svc.dialogs); }

  bool tray;  // whether the desktop shows tray icons
  TempFolder home;
  std::unique_ptr<App> app;
  std::unique_ptr<TrayProgram> program;
};

// Types any text, letters beyond ASCII too, as key presses that carry their text.
void Type(QWidget* widget, const QString& text) {
  for (QChar ch : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(widget, &press);
  }
}

std::string Replaced(std::string text, const std::string& line, const std::string& by) {
  size_t at = text.find(line);
  EXPECT_NE(at, std::string::npos) << line;
  if (at != std::string::npos) text.replace(at, line.size(), by);
  return text;
}

TEST(Text1252, EveryByteComesBackAndForeignLettersBecomeQuestionMarks) {
  std::string all;
  for (int b = 1; b <= 0xFF; ++b) all += static_cast<char>(b);
  EXPECT_EQ(ToBytes(FromBytes(all)), all);
  // The bytes where the code page is not Latin-1, its edges and its unassigned bytes.
  struct Letter {
    const char* bytes;
    const char* utf8;
  };
  for (const Letter& l : {Letter{"\x80\xE8", "€è"}, Letter{"\x82\x83\x8A\x8C", "‚ƒŠŒ"},
                          Letter{"\x81\x8D\x8F\x90\x9D", "\u0081\u008D\u008F\u0090\u009D"},
                          Letter{"\x9C\x9E\x9F\xA0\x7F", "œžŸ\u00A0\u007F"}}) {
    EXPECT_EQ(FromBytes(l.bytes), QString::fromUtf8(l.utf8)) << l.bytes;
    EXPECT_EQ(ToBytes(QString::fromUtf8(l.utf8)), l.bytes) << l.bytes;
  }
  EXPECT_EQ(ToBytes(QString::fromUtf8("a→b😀c\u0080")), "a?b?c?");
}

TEST(TrayProgram, SavesWhatTheWidgetsShowByteForByte) {
  Desktop d(true);
  emit d.program->tray().activated(QSystemTrayIcon::Trigger);
  const std::string loaded = d.Ini();
  auto* rf_file = d.Find<QLineEdit>(controls::RF_File);
  EXPECT_EQ(ToBytes(rf_file->text()), "C:\\Ricevute\\" + HighBytes() + "\\Ricevuta.txt");

  EXPECT_EQ(d.Find<QComboBox>(controls::Cort_Printer)->currentText(), "STAMPANTE NUOVA")
      << "a model the list lacks is still shown";
  EXPECT_EQ(rf_file->toolTip(), rf_file->text() + "\nRF_File in _Valico.ini");
  for (auto* field : d.window().findChildren<QLineEdit*>())
    EXPECT_FALSE(field->hasSelectedText()) << field->objectName().toStdString();

  // Saved untouched: not one byte changes, 0x80-0x9F included. Enter in a field saves nothing.
  QTest::keyClick(rf_file, Qt::Key_Return);
  EXPECT_EQ(d.Ini(), loaded);
  d.Click("cmdSalva");
  EXPECT_EQ(d.Ini(), loaded);

  // Edits through the widgets: typed text, a tick, a choice from a list.
  auto* mf_file = d.Find<QLineEdit>(controls::MF_File);
  mf_file->selectAll();
  Type(mf_file, QString::fromUtf8("C:\\Scontrini\\caffè €.txt"));
  QTest::keyClick(d.Find<QCheckBox>(controls::MF_Buffer), Qt::Key_Space);
  d.Find<QComboBox>(controls::MF_Protocol)->setCurrentText("GLOBE DRIVER - 106");
  EXPECT_EQ(d.Ini(), loaded) << "edits reach the file only through the save";

  d.Click("cmdSalva");
  std::string expected = Replaced(loaded, "MF_File=C:\\CALDERA\\Casio\\CAS.txt",
                                  "MF_File=C:\\Scontrini\\caff\xE8 \x80.txt");
  expected = Replaced(expected, "MF_Buffer=0", "MF_Buffer=1");
  expected = Replaced(expected, "MF_Prot=Nessuno", "MF_Prot=GLOBE DRIVER - 106");
  EXPECT_EQ(d.Ini(), expected);

  // The second receipt printer's file is stored at every keystroke, without a save.
  QTest::keyClicks(d.Find<QLineEdit>(controls::RF_FILE_2), "R2");
  EXPECT_NE(d.Ini().find("RF_FILE_2=R2\r\n"), std::string::npos) << d.Ini();
}

// The tray's click shows the window, built then; "Esci" answered No hides it, and Yes with a
// tool window open ends the program once that window is closed.
TEST(TrayProgram, TrayShowsTheWindowAndTheExitWaitsForToolWindows) {
  Desktop d(true);
  QSignalSpy finished(d.program.get(), &TrayProgram::finished);
  EXPECT_EQ(d.program->tray().toolTip(), "Valico - Versione 2.2.0");
  emit d.program->tray().activated(QSystemTrayIcon::Context);
  emit d.program->tray().activated(QSystemTrayIcon::DoubleClick);
  EXPECT_FALSE(d.program->window_built()) << "the window is built when first shown";
  emit d.program->tray().activated(QSystemTrayIcon::Trigger);
  EXPECT_TRUE(d.window().isVisible());
  EXPECT_EQ(d.program->main().state(), MainWindowState::kShown);
  d.Click("cmdNascondi");
  EXPECT_FALSE(d.window().isVisible());

  emit d.program->tray().activated(QSystemTrayIcon::Trigger);
  d.dialogs().answers = {false, true};
  d.Menu("Esci");
  EXPECT_EQ(d.dialogs().shown.back(), "Chiudere il programma");
  EXPECT_FALSE(d.window().isVisible()) << "No hides the window to the tray";
  EXPECT_TRUE(d.program->main().Ticking());

  d.Menu("About");
  QDialog* about = d.program->tool(ToolWindow::kAbout);
  ASSERT_NE(about, nullptr);
  d.Menu("About");
  EXPECT_EQ(d.program->tool(ToolWindow::kAbout), about) << "one About box at a time";
  d.Menu("Esci");
  EXPECT_FALSE(d.program->main().Ticking());
  EXPECT_EQ(finished.count(), 0);
  QTest::mouseClick(about->findChild<QPushButton*>("cmdChiudi"), Qt::LeftButton);
  EXPECT_TRUE(QTest::qWaitFor([&] { return finished.count() == 1; }, 2000));
}

// Without a tray the window stays minimised and the jobs are served; a panel started after the
// program takes the window to the tray. The exit takes the window either way.
TEST(TrayProgram, WithoutATrayTheWindowStaysMinimisedUntilOneAppears) {
  for (bool panel_later : {false, true}) {
    SCOPED_TRACE(panel_later);
    Desktop d(false);
    EXPECT_TRUE(d.window().isVisible() && d.window().isMinimized());
    EXPECT_NE(d.home.Read("Valico.log").find("no system tray"), std::string::npos);
    if (panel_later) {
      d.home.Write("drive_c/Valico/Display.txt", "BUONGIORNO\r\nTOTALE 1,00\r\n");
      EXPECT_TRUE(QTest::qWaitFor([&] { return d.home.Has("screen.txt"); }, 5000));
      EXPECT_NE(d.home.Read("screen.txt").find("BUONGIORNO"), std::string::npos);
      d.tray = true;
      EXPECT_TRUE(QTest::qWaitFor([&] { return d.program->tray().isVisible(); }, 5000));
      EXPECT_FALSE(d.window().isVisible());
    }
    d.dialogs().answers = {true};
    d.Menu("Esci");
    EXPECT_FALSE(d.window().isVisible());
    EXPECT_FALSE(d.program->tray().isVisible());
  }
}

TEST(TrayProgram, ToolWindowsRunTheirTools) {
  Desktop d(true);
  emit d.program->tray().activated(QSystemTrayIcon::Trigger);
  d.Click("Command1");  // the serial pre-bill test, to COM5
  EXPECT_TRUE(d.dialogs().shown.empty()) << d.dialogs().shown.front();
  EXPECT_TRUE(d.home.Has("prebill.txt")) << "no byte reached COM5";

  d.Menu("Stampa_Porte");
  QDialog* list = d.program->tool(ToolWindow::kPrinterList);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->findChild<QPlainTextEdit*>("txListaStampanti")->toPlainText(),
            "Port    > COM3:\nPrinter > EPSON TM-U295 Slip\n" + QString(37, '-') + "\n");

  d.Menu("Str_U295");
  QDialog* test = d.program->tool(ToolWindow::kSlipTest);
  ASSERT_NE(test, nullptr);
  auto* rows = test->findChild<QLineEdit*>("testRow");
  rows->clear();
  QTest::keyClicks(rows, "x");
  QTest::mouseClick(test->findChild<QPushButton*>("cmdTest"), Qt::LeftButton);
  EXPECT_EQ(d.dialogs().shown.back(), "Impostare numero righe e numero colonne.");

  // The print status of this program, and a document set aside printed again.
  UnprintedDocuments unprinted(d.home / "NonStampati", nullptr, nullptr);
  std::string kept, err;
  ASSERT_TRUE(unprinted.Keep(Document{kRfTmU295, {}}, 1, "carta esaurita", &kept, &err)) << err;
  d.Menu("Stato_Stampe");
  QDialog* status = d.program->tool(ToolWindow::kPrintStatus);
  ASSERT_NE(status, nullptr);
  auto* box = status->findChild<QPlainTextEdit*>("txStatoStampe");
  auto report = [box] { return ToBytes(box->toPlainText()); };
  EXPECT_NE(report().find("Servizio: attivo"), std::string::npos) << report();
  EXPECT_NE(report().find("  1: \"EPSON TM-U295 Slip\", carta esaurita\n"), std::string::npos)
      << report();
  QTest::mouseClick(status->findChild<QPushButton*>("cmdRistampa"), Qt::LeftButton);
  EXPECT_EQ(report().rfind("Documento 1: di nuovo in coda per \"EPSON TM-U295 Slip\"\n", 0), 0u)
      << report();
  EXPECT_NE(report().find("NON STAMPATI (NonStampati): 0"), std::string::npos);

  // The installer's check as the program that serves the folder sees it, with its marks.
  d.Menu("Verifica_Installazione");
  QDialog* doctor = d.program->tool(ToolWindow::kDoctor);
  ASSERT_NE(doctor, nullptr);
  QString check = doctor->findChild<QPlainTextEdit*>("txVerifica")->toPlainText();
  EXPECT_TRUE(check.contains(u"\u2713 Valico su questa cartella: la serve questo programma\n"))
      << check.toStdString();
}

// The window is drawn from the layout table: every field, button and menu command is there,
// of the model's kind, with its password mask, read-only where the window never stores it,
// and naming its key in its tooltip.
TEST(ConfigWindow, HoldsTheLayoutTable) {
  FormModel form;
  ConfigWindow w(form);
  size_t fields = 0;
  for (const LayoutGroup& group : WindowGroups()) {
    for (const LayoutField& f : group.fields) {
      SCOPED_TRACE(f.control);
      ++fields;
      QWidget* widget = w.Widget(f.control);
      ASSERT_NE(widget, nullptr);
      EXPECT_EQ(widget->objectName(), f.control);
      EXPECT_TRUE(!f.key || widget->toolTip().contains(f.key));
      auto* edit = qobject_cast<QLineEdit*>(widget);
      auto* combo = qobject_cast<QComboBox*>(widget);
      bool read_only = f.stored == Stored::kReadOnly;
      EXPECT_EQ(edit != nullptr, f.kind == ControlKind::kTextBox);
      EXPECT_EQ(qobject_cast<QCheckBox*>(widget) != nullptr, f.kind == ControlKind::kCheckBox);
      EXPECT_EQ(combo && !combo->isEditable(), f.kind == ControlKind::kDropDown);
      EXPECT_EQ(combo && combo->isEditable(), f.kind == ControlKind::kCombo);
      if (edit) {
        EXPECT_EQ(edit->echoMode() == QLineEdit::Password, f.password);
        EXPECT_EQ(edit->isReadOnly(), read_only);
      } else if (!combo) {
        EXPECT_EQ(widget->isEnabled(), !read_only);
      }
    }
  }
  EXPECT_EQ(fields, form.size()) << "every control of the model is in the window";
  for (const LayoutButton& b : WindowButtons()) {
    auto* button = w.findChild<QPushButton*>(b.command.name);
    ASSERT_NE(button, nullptr) << b.command.name;
    EXPECT_EQ(button->text(), b.command.caption);
  }
  for (const LayoutMenu& m : WindowMenus()) {
    for (const LayoutCommand& item : m.items.empty() ? std::vector{m.command} : m.items) {
      auto* action = w.findChild<QAction*>(item.name);
      ASSERT_NE(action, nullptr) << item.name;
      EXPECT_EQ(action->text(), item.caption);
    }
  }
  EXPECT_EQ(w.windowTitle(), "Valico - Versione 2.2.0");
}

}  // namespace
}  // namespace valico
