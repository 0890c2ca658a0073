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
  QDialog* window = NewToolWindow(T::kTitle);
  auto* lines = new QVBoxLayout(window);
  auto* report = new QPlainTextEdit;
  report->setObjectName("txStatoStampe");
  report->setReadOnly(true);
  QFont fixed(T::kFont, 9);
  fixed.setStyleHint(QFont::Monospace);  // where Courier New is missing
  report->setFont(fixed);
  report->setLineWrapMode(QPlainTextEdit::NoWrap);
  report->setMinimumSize(720, 440);
  lines->addWidget(report);
  auto* buttons = new QHBoxLayout;
  QPushButton* refresh = NewButton("cmdAggiorna", T::kRefresh);
  QPushButton* reprint = NewButton("cmdRistampa", T::kReprint);
  QPushButton* close = NewButton("cmdChiudi", T::kClose);
  buttons->addWidget(refresh);
  buttons->addWidget(reprint);
  buttons->addStretch();
  buttons->addWidget(close);
  lines->addLayout(buttons);

  auto show = [report](const std::string& text) { report->setPlainText(FromBytes(text)); };
  QObject::connect(refresh, &QPushButton::clicked, window,
                   [&ctx, ticks, show] { show(ServingStatusText(ctx, ticks)); });
  QObject::connect(reprint, &QPushButton::clicked, window,
                   [&ctx, ticks, show] { show(ReprintAllFromWindow(ctx, ticks)); });
  QObject::connect(close, &QPushButton::clicked, window, &QDialog::close);
  show(ServingStatusText(ctx, ticks));
  return window;
}

QDialog* MakeDoctorWindow(Context& ctx) {
  using T = DoctorWindowText;
  QDialog* window = NewToolWindow(T::kTitle);
  auto* lines = new QVBoxLayout(window);
  auto* report = new QPlainTextEdit;
  report->setObjectName("txVerifica");
  report->setReadOnly(true);
  QFont fixed(T::kFont, 9);
  fixed.setStyleHint(QFont::Monospace);
  report->setFont(fixed);
  report->setLineWrapMode(QPlainTextEdit::NoWrap);
  report->setMinimumSize(720, 440);
  lines->addWidget(report);
  auto* buttons = new QHBoxLayout;
  QPushButton* refresh = NewButton("cmdAggiorna", T::kRefresh);
  QPushButton* close = NewButton("cmdChiudi", T::kClose);
  buttons->addWidget(refresh);
  buttons->addStretch();
  buttons->addWidget(close);
  lines->addLayout(buttons);

  auto check = [&ctx, report] {
    QString text =
        FromBytes(DoctorText(RunDoctor(ctx, true), {&kPassedMark, 1}, {&kFailedMark, 1}));
    text.replace(QChar(char16_t(kPassedMark)), QChar(char16_t(0x2713)))
        .replace(QChar(char16_t(kFailedMark)), QChar(char16_t(0x2717)));
    report->setPlainText(text);
  };
  QObject::connect(refresh, &QPushButton::clicked, window, check);
  QObject::connect(close, &QPushButton::clicked, window, &QDialog::close);
  check();
  return window;
}

}  // namespace valico
