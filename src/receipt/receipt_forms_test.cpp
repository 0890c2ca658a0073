#include "receipt/receipt_forms.h"

#include <gtest/gtest.h>

#include "platform/testing/test_platform.h"
#include "printing/testing/direct_printers.h"
#include "printing/testing/recording_print_system.h"
#include "printing/trace.h"

namespace valico {
namespace {

using namespace std::chrono_literals;

std::string Job(int receipt_lines) {
  std::string job = "I1 Trattoria\r\n";
  for (int k = 1; k <= receipt_lines; ++k) job += "RR Riga " + std::to_string(k) + "\r\n";
  return job;
}

class ReceiptFormsTest : public ::testing::Test {
 protected:
  ReceiptFormsTest() {
    // The receipt printer and a preview printer, the default.
    system.installed = {{"Anteprima", "Ne01:"}, {kRfTmL90, "COM3:"}};
    system.default_printer = "Anteprima";
    cfg.RF_File = "C:\\Borea\\rf.txt";
    cfg.RF_Stampante = kRfTmL90;
    ParseChoices(cfg);
  }
  void Write(const std::string& job) const { t.folder.Write("drive_c/Borea/rf.txt", job); }
  bool Pending() const { return t.folder.Has("drive_c/Borea/rf.txt"); }
  // Looks at the job twice: a whole job is printed at the first look.
  void TwoTicks() {
    receipt.LanciaFileRF();
    receipt.LanciaFileRF();
  }

  testing::TestPlatform t;
  Config cfg;
  testing::RecordingPrintSystem system;
  testing::DirectPrinters direct{system, t.log, t.folder.path()};
  Printers& printers = direct.printers;
  ReceiptForms receipt{cfg, t.files, t.clock, t.watch, t.log, printers};
};

TEST_F(ReceiptFormsTest, AWholeJobPrintsOnTheNamedPrinterAndIsDeleted) {
  for (bool installed : {false, true}) {
    const std::string on = installed ? kRfTmL90 : "Anteprima";
    SCOPED_TRACE(on);
    system.printed.clear();
    system.installed.resize(1);  // the preview printer
    if (installed) system.installed.push_back({kRfTmL90, "COM3:"});
    t.watch.writing.insert(t.Native(cfg.RF_File));  // Borea is still writing it
    Write(Job(24));
    TwoTicks();
    EXPECT_TRUE(system.printed.empty());
    EXPECT_TRUE(Pending());

    t.watch.writing.clear();
    receipt.LanciaFileRF();
    ASSERT_EQ(system.printed.size(), 2u) << "24 lines take two pages";
    for (const Document& page : system.printed) EXPECT_EQ(page.printer, on);
    EXPECT_EQ(printers.Current(), on) << "the printer stays current";
    EXPECT_EQ(t.log.Count("printer \"EPSON TM-L90 Receipt\" is not installed: the receipt "
                          "prints on the current printer \"Anteprima\""),
              1)
        << "said for the first job, not for the second";
    EXPECT_FALSE(Pending());
  }
}

TEST_F(ReceiptFormsTest, AJobNotPrintedStaysAndIsTriedAgainAfterAPauseThatDoubles) {
  system.failing = kRfTmL90;
  Write(Job(30));
  TwoTicks();
  EXPECT_EQ(system.kept.size(), 2u) << "both pages are kept by the printing layer";
  EXPECT_TRUE(Pending());

  t.clock.Advance(500ms);
  receipt.LanciaFileRF();
  EXPECT_EQ(system.kept.size(), 2u) << "not tried again before the pause is over";
  t.clock.Advance(500ms);
  receipt.LanciaFileRF();
  EXPECT_EQ(system.kept.size(), 4u);
  t.clock.Advance(ReceiptForms::kRetryPause);
  receipt.LanciaFileRF();
  EXPECT_EQ(system.kept.size(), 4u) << "the pause doubles";

  system.failing.clear();
  t.clock.Advance(ReceiptForms::kRetryPause);
  receipt.LanciaFileRF();
  ASSERT_EQ(system.printed.size(), 2u);
  EXPECT_NE(TraceText(system.printed[1]).find("print Riga 30\n"), std::string::npos);
  EXPECT_FALSE(Pending());
  EXPECT_EQ(t.log.Count(t.Native("C:\\Borea\\rf.txt") + " was not queued"), 1) << "once per job";
}

TEST_F(ReceiptFormsTest, BadJobsStayWithTheReasonOnceAndOddOnesPrint) {
  struct Case {
    const char* name;
    std::string job;
    std::string reason;  // empty: printed
  };
  std::string many;
  for (int k = 0; k < 10000; ++k) many += "RR Riga\r\n";
  const Case cases[] = {
      {"binary", std::string("I1 \x01\x02\0\xff", 7), "holds NUL bytes, so it is no text"},
      {"10 MB line", "RR " + std::string(10 << 20, 'x'),
       "holds 10485763 bytes, more than a receipt job can (1048576)"},
      {"10,000 receipt lines", many, "would print 455 pages, more than a receipt can have (20)"},
      {"unterminated quote", "\"RR Caff\xe8, 1,20\r\nRR Acqua\r\n", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    system.printed.clear();
    Write(c.job);
    for (int i = 0; i < 3; ++i) TwoTicks();
    EXPECT_EQ(Pending(), !c.reason.empty());
    EXPECT_EQ(system.printed.empty(), !c.reason.empty());
    if (!c.reason.empty()) {
      EXPECT_EQ(t.log.Count(c.reason), 1);
    }
  }
}

TEST(RfStartupValoriTest, FillsBothPrinterChoicesOrSaysWhyNot) {
  testing::TestPlatform t;
  testing::RecordingPrintSystem system;
  system.installed = {{"Anteprima", "Ne01:"}, {kRfTmU295, "COM3:"}};
  testing::DirectPrinters direct(system, t.log, t.folder.path());
  Printers& printers = direct.printers;
  FormModel form;
  RF_StartUP_Valori(printers, form, t.dialogs);
  for (const char* combo : {controls::RF_Printer, controls::RF_PRINTER_2})
    EXPECT_EQ(form.Get(combo).items, (std::vector<std::string>{"Anteprima", kRfTmU295}));

  FormModel empty;
  system.list_error = "the spooler is not running";
  RF_StartUP_Valori(printers, empty, t.dialogs);
  EXPECT_TRUE(empty.Get(controls::RF_Printer).items.empty());
  EXPECT_TRUE(t.log.Contains("message box: Errore: the spooler is not running"));
}

}  // namespace
}  // namespace valico
