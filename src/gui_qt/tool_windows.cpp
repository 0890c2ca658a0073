#include "gui_qt/tool_windows.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "config_ui/about_box.h"
#include "config_ui/window_layout.h"
#include "gui_qt/text_1252.h"
#include "gui_qt/valico_icon.h"
#include "platform/standard_output.h"
#include "receipt/printer_list.h"
#include "receipt/slip_calibration.h"
#include "shell/doctor.h"
#include "shell/print_status_window.h"

namespace valico {
namespace {

QDialog* NewToolWindow(const char* title) {
  auto* window = new QDialog(nullptr);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->setWindowTitle(FromBytes(title));
  window->setWindowIcon(ValicoIcon());
  window->setFont(QFont(kWindowFont, 9));
  return window;
}

QPushButton* NewButton(const char* name, const char* caption) {
  auto* button = new QPushButton(FromBytes(caption));
  button->setObjectName(name);
  return button;
}

// A tool window that shows a report in a fixed-width font above a row of buttons.
struct ReportWindow {
  QDialog* window;
  QPlainTextEdit* report;
  QHBoxLayout* buttons;
};

ReportWindow NewReportWindow(const char* title, const char* name, const char* font) {
  ReportWindow w{NewToolWindow(title), new QPlainTextEdit, new QHBoxLayout};
  auto* lines = new QVBoxLayout(w.window);
  w.report->setObjectName(name);
  w.report->setReadOnly(true);
  QFont fixed(font, 9);
  fixed.setStyleHint(QFont::Monospace);  // where Courier New is missing
  w.report->setFont(fixed);
  w.report->setLineWrapMode(QPlainTextEdit::NoWrap);
  w.report->setMinimumSize(720, 440);
  lines->addWidget(w.report);
  lines->addLayout(w.buttons);
  return w;
}

}  // namespace

QDialog* MakeAboutBox() {
  using T = AboutBoxText;
  QDialog* box = NewToolWindow(T::kTitle);
  auto* lines = new QVBoxLayout(box);
  auto* logo = new QLabel;
  logo->setPixmap(ValicoLogo(64));
  lines->addWidget(logo, 0, Qt::AlignHCenter);
  for (const char* line : {T::kMaker, T::kStreet, T::kTown, T::kSupport, T::kBorea, T::kVersion})
    lines->addWidget(new QLabel(FromBytes(line)));
  QPushButton* close = NewButton("cmdChiudi", T::kClose);
  QObject::connect(close, &QPushButton::clicked, box, &QDialog::close);
  lines->addWidget(close);
  return box;
}

QDialog* MakeSlipTestWindow(Context& ctx) {
  using T = SlipTestWindowText;
  QDialog* window = NewToolWindow(T::kTitle);
  auto* rows = new QFormLayout(window);
  auto* test_row = new QLineEdit(FromBytes(T::kRows));
  test_row->setObjectName("testRow");
  auto* test_char = new QLineEdit(FromBytes(T::kColumns));
  test_char->setObjectName("testChar");
  rows->addRow(FromBytes(T::kRowsLabel), test_row);
  rows->addRow(FromBytes(T::kColumnsLabel), test_char);
  QPushButton* print = NewButton("cmdTest", T::kPrint);
  rows->addRow(print);
  QObject::connect(print, &QPushButton::clicked, window, [&ctx, test_row, test_char] {
    SlipTestResult r = StampaTestU295(ctx.cfg, ctx.svc.regional, ctx.printers,
                                      ToBytes(test_row->text()), ToBytes(test_char->text()));
    ctx.svc.dialogs.Message(r.message, r.title);
  });
  return window;
}

QDialog* MakePrinterListWindow(Context& ctx) {
  using T = PrinterListWindowText;
  QDialog* window = NewToolWindow(T::kTitle);
  auto* lines = new QVBoxLayout(window);
  auto* list = new QPlainTextEdit;
  list->setObjectName("txListaStampanti");
  list->setFont(QFont(T::kFont, 9));
  list->setLineWrapMode(QPlainTextEdit::NoWrap);
  list->setMinimumSize(420, 240);
  lines->addWidget(list);
  QPushButton* close = NewButton("cmdChiudi", T::kClose);
  QObject::connect(close, &QPushButton::clicked, window, &QDialog::close);
  lines->addWidget(close);

  std::string text, err;
  if (ListaStampanti(ctx.printers, &text, &err)) {
    QString shown = FromBytes(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    list->setPlainText(shown);
  } else {
    ctx.svc.dialogs.Message("Errore: " + err);
  }
  return window;
}

QDialog* MakePrintStatusWindow(Context& ctx, ServiceTicks* ticks) {
  using T = PrintStatusWindowText;
  ReportWindow w = NewReportWindow(T::kTitle, "txStatoStampe", T::kFont);
  QPushButton* refresh = NewButton("cmdAggiorna", T::kRefresh);
  QPushButton* reprint = NewButton("cmdRistampa", T::kReprint);
  QPushButton* close = NewButton("cmdChiudi", T::kClose);
  w.buttons->addWidget(refresh);
  w.buttons->addWidget(reprint);
  w.buttons->addStretch();
  w.buttons->addWidget(close);

  QPlainTextEdit* report = w.report;
  auto show = [report](const std::string& text) { report->setPlainText(FromBytes(text)); };
  QObject::connect(refresh, &QPushButton::clicked, w.window,
                   [&ctx, ticks, show] { show(ServingStatusText(ctx, ticks)); });
  QObject::connect(reprint, &QPushButton::clicked, w.window,
                   [&ctx, ticks, show] { show(ReprintAllFromWindow(ctx, ticks)); });
  QObject::connect(close, &QPushButton::clicked, w.window, &QDialog::close);
  show(ServingStatusText(ctx, ticks));
  return w.window;
}

QDialog* MakeDoctorWindow(Context& ctx) {
  using T = DoctorWindowText;
  ReportWindow w = NewReportWindow(T::kTitle, "txVerifica", T::kFont);
  QPushButton* refresh = NewButton("cmdAggiorna", T::kRefresh);
  QPushButton* close = NewButton("cmdChiudi", T::kClose);
  w.buttons->addWidget(refresh);
  w.buttons->addStretch();
  w.buttons->addWidget(close);

  QPlainTextEdit* report = w.report;
  auto check = [&ctx, report] {
    QString text =
        FromBytes(DoctorText(RunDoctor(ctx, true), {&kPassedMark, 1}, {&kFailedMark, 1}));
    text.replace(QChar(char16_t(kPassedMark)), QChar(char16_t(0x2713)))
        .replace(QChar(char16_t(kFailedMark)), QChar(char16_t(0x2717)));
    report->setPlainText(text);
  };
  QObject::connect(refresh, &QPushButton::clicked, w.window, check);
  QObject::connect(close, &QPushButton::clicked, w.window, &QDialog::close);
  check();
  return w.window;
}

}  // namespace valico
