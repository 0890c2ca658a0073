#include "receipt/slip_calibration.h"

#include <gtest/gtest.h>

#include "platform/testing/recording_log.h"
#include "platform/testing/temp_folder.h"
#include "printing/testing/direct_printers.h"
#include "printing/testing/recording_print_system.h"

namespace valico {
namespace {

using Lines = std::vector<std::string>;

const std::string kRuler = "A234567890123456789012345678901234567890123456789012345678901234567890";
const std::string kNotSet =
    "Nella schermata principale non sono stati impostati correttamtente\r\n"
    "i parametri relativi alla Epson TM-U295.";
const std::string kNotNumbers = "Impostare numero righe e numero colonne.";
const std::string kOutOfRange = "Impostare numero righe e numero colonne da 0 a 32767.";
const std::string kDone =
    "Al termine della stampa\r\nControllare il numero delle righe stampate\r\n"
    "e dei caratteri per riga\r\ne utilizzare le informazioni acquisite per impostare "
    "i valori in Valico e Borea";

class SlipCalibrationTest : public ::testing::Test {
 protected:
  SlipCalibrationTest() {
    system.installed = {{"Anteprima", "Ne01:"}, {kRfTmU295, "COM3:"}};
    system.default_printer = "Anteprima";
  }
  // The lines the test printed, or none when it printed no document.
  Lines Run(const std::string& rows, const std::string& cols, SlipTestResult* result) {
    system.printed.clear();
    *result = StampaTestU295(cfg, RegionalFor("it_IT"), printers, rows, cols);
    Lines lines;
    for (const Document& doc : system.printed) {
      EXPECT_EQ(doc.printer, kRfTmU295);
      for (const PrinterOp& op : doc.ops) {
        EXPECT_EQ(op.kind, PrinterOp::Kind::kPrintLine) << "no font is set";
        lines.push_back(op.text);
      }
    }
    return lines;
  }

  Config cfg;
  testing::RecordingPrintSystem system;
  testing::RecordingLog log;
  testing::TempFolder home;
  testing::DirectPrinters direct{system, log, home.path()};
  Printers& printers = direct.printers;
};

TEST_F(SlipCalibrationTest, RulerThenNumberedRowsOrNothingAndWhy) {
  struct Case {
    const char* name;
    std::string rows, cols;
    Lines printed;
    std::string message = kDone;
    const char* printer = kRfTmU295;
    TypedValue port = TypedValue::FromInt(3);
  };
  Lines initial = {kRuler.substr(0, 42)};
  for (int i = 2; i <= 41; ++i) initial.push_back((i < 10 ? "R0" : "R") + std::to_string(i));
  // clang-format off
  const Case cases[] = {
      {"initial values", SlipTestWindowText::kRows, SlipTestWindowText::kColumns, initial},
      {"columns past the ruler", "2", "100", {kRuler, "R02"}},
      {"a half rounds to even, down", "1", "2,5", {"A2"}},
      {"a half rounds to even, up", "1", "3,5", {"A234"}},
      {"rows with a fraction", "2,9", "1", {"A", "R02"}},
      {"no rows", "0", "42", {}},
      {"another receipt model", "41", "42", {}, kNotSet, kRfTmL90},
      {"a port named in full", "41", "42", {}, kNotSet, kRfTmU295, TypedValue::FromText("Ne01")},
      {"rows not a number", "quaranta", "42", {}, kNotNumbers},
      {"columns empty", "41", "", {}, kNotNumbers},
      {"negative columns", "41", "-1", {}, kOutOfRange},
      {"negative rows", "-2", "42", {}, kOutOfRange},
      {"columns past 16 bits", "41", "32768", {}, kOutOfRange},
      {"rows past 16 bits", "1.000.000", "42", {}, kOutOfRange},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cfg.RF_Stampante = c.printer;
    cfg.RF_Seriale = c.port;
    ParseChoices(cfg);
    SlipTestResult r;
    EXPECT_EQ(Run(c.rows, c.cols, &r), c.printed);
    EXPECT_EQ(r.printed, c.message == kDone);
    EXPECT_EQ(r.message, c.message);
    EXPECT_EQ(r.title, c.message == kDone ? "Risultato TEST" : "");
  }
  SlipTestResult r;
  EXPECT_EQ(Run("100", "5", &r).back(), "R100");
}

}  // namespace
}  // namespace valico
