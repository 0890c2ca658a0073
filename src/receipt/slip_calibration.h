#pragma once

#include <string>
#include <string_view>

#include "platform/regional.h"
#include "printing/printers.h"
#include "settings/config.h"

namespace valico {

// The initial texts of the test window's "Righe" (testRow) and "Colonne" (testChar) boxes.
inline constexpr char kSlipTestRows[] = "41";
inline constexpr char kSlipTestColumns[] = "42";

// What the installer is told when the calibration test has run or has not.
struct SlipTestResult {
  bool printed = false;  // the test page went to the printer
  std::string message;   // shown in a box with an OK button
  std::string title;     // the box's title; empty: the application's title
};

// The calibration test of the slip printer (window "TEST Epson TM-U295", button "Stampa
// TEST"), on the texts of its rows and columns boxes: the first row is a ruler ("A234567890..."
// cut to the columns, rounded half to even), then "R02", "R03", ... up to the rows, in the
// printer's current font, as one document on the installed printer RF_Stampante (else on the
// current one, which the printer becomes). Nothing is printed when RF_Stampante is not the
// slip printer or RF_Seriale not a port number above 0, when a text is not a number, or when
// a count is below 0 or above 32767: the message says which. Numbers are read by `regional`.
SlipTestResult StampaTestU295(const Config& cfg, const Regional& regional, Printers& printers,
                              std::string_view test_row, std::string_view test_char);

}  // namespace valico
