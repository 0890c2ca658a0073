#include "receipt/slip_calibration.h"

#include <algorithm>
#include <optional>

#include "printing/ops.h"
#include "settings/typed_value.h"

namespace valico {
namespace {

// Column k shows the last digit of k, column 1 an "A".
constexpr std::string_view kRuler =
    "A234567890123456789012345678901234567890123456789012345678901234567890";
constexpr std::int64_t kMaxCount = 32767;  // what a 16-bit count holds

SlipTestResult Refused(std::string message) { return {false, std::move(message), ""}; }

std::string RowLabel(std::int64_t i) { return (i < 10 ? "R0" : "R") + std::to_string(i); }

}  // namespace

SlipTestResult StampaTestU295(const Config& cfg, const Regional& regional, Printers& printers,
                              std::string_view test_row, std::string_view test_char) {
  if (cfg.rf_model != RfModel::kTmU295 || !IsNumberAboveZero(cfg.RF_Seriale))
    return Refused(
        "Nella schermata principale non sono stati impostati correttamtente\r\n"
        "i parametri relativi alla Epson TM-U295.");
  std::optional<std::int64_t> rows = ParseTenThousandths(test_row, regional);
  std::optional<std::int64_t> cols = ParseTenThousandths(test_char, regional);
  if (!rows || !cols) return Refused("Impostare numero righe e numero colonne.");
  std::optional<std::int16_t> columns = TypedValue::FromNumber({*cols}).ToInt16(regional);
  if (!columns || *columns < 0 || *rows < 0 || *rows > kMaxCount * 10000)
    return Refused("Impostare numero righe e numero colonne da 0 a 32767.");

  std::string unused;
  printers.ChooseInstalled(cfg.RF_Stampante, &unused);  // else the current printer prints it
  std::vector<PrinterOp> page;
  for (std::int64_t i = 1; i * 10000 <= *rows; ++i)
    page.push_back(ops::Print(i == 1 ? kRuler.substr(0, std::min<size_t>(*columns, kRuler.size()))
                                     : RowLabel(i)));
  page.push_back(ops::EndDocument());
  if (!printers.Apply(page))
    return Refused("Errore: the test page was not delivered to \"" + printers.Current() +
                   "\": see the log");
  return {true,
          "Al termine della stampa\r\n"
          "Controllare il numero delle righe stampate\r\n"
          "e dei caratteri per riga\r\n"
          "e utilizzare le informazioni acquisite per impostare i valori in Valico e Borea",
          "Risultato TEST"};
}

}  // namespace valico
