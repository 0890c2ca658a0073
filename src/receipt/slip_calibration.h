#pragma once

#include <string>
#include <string_view>

#include "platform/regional.h"
#include "printing/printers.h"
#include "settings/config.h"

namespace valico {

// The test window (fStr_U295): two boxes and a button, opened from the menu "Strumenti".
struct SlipTestWindowText {
  static constexpr const char* kTitle = "TEST Epson TM-U295";
  static constexpr const char* kRowsLabel = "Righe";       // box testRow
  static constexpr const char* kRows = "41";               // its initial text
  static constexpr const char* kColumnsLabel = "Colonne";  // box testChar
  static constexpr const char* kColumns = "42";
  static constexpr const char* kPrint = "Stampa TEST";  // button cmdTest
};

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
