#include "prebill/printer_operations.h"

#include <gtest/gtest.h>

#include "printing/trace.h"

namespace valico {
namespace {

using Trace = std::vector<std::string>;

Trace JobTrace(PrinterFamily family, const std::vector<std::string>& lines) {
  Trace t;
  for (const PrinterOp& op : FieldFormatJobOperations(family, RegionalFor("it_IT"), lines))
    t.push_back(Describe(op));
  return t;
}

TEST(PrinterOperationsTest, FamilyJobsPrintTheirDialect) {
  struct {
    const char* name;
    PrinterFamily family;
    std::vector<std::string> lines;
    Trace expected;
  } cases[] = {
      {"500: receipt opened with w, bold red total, closed with P",
       PrinterFamily::k500,
       {"Conto#0#9#0#0#N", "Totale#0#18#1#1#R", "#1"},
       {"size 9", "font FontControl", "print w",                                    //
        "font FontA15cpi", "size 9", "colour 0,0,0", "print Conto", "bold off",     //
        "font FontA15cpi", "size 18", "colour 255,0,0", "bold on", "print Totale",  //
        "bold off",                                                                 //
        "size 9", "font FontControl", "print P", "end document"}},
      {"500: no font chosen yet sets none",
       PrinterFamily::k500,
       {"Ciao"},
       {"size 9", "font FontControl", "print w", "colour 0,0,0", "print Ciao", "bold off"}},
      {"350: closed with two blanks and P at 9.5",
       PrinterFamily::k350,
       {"Coperti 2#0#9#0", "#1"},
       {"font FontA1x1", "size 14", "print Coperti 2",  //
        "size 9.5", "font FontControl", "print  ", "print  ", "print P", "end document"}},
      {"350: barcode announced with r and x",
       PrinterFamily::k350,
       {"8001234567890#0#9#13"},
       {"size 8.5", "font FontControl", "print r", "print x", "size 18", "font JAN13(EAN)",
        "print 8001234567890"}},
      {"103: closed with four blanks in the text font, no control character",
       PrinterFamily::k103,
       {"Conto#0#9#1", "#1"},
       {"font FontB1x2", "size 14", "print Conto",  //
        "font FontB1x2", "print  ", "print  ", "print  ", "print  ", "end document"}},
      {"two receipts in one job, the second left open",
       PrinterFamily::k350,
       {"A", "#1", "B#0"},
       {"font FontA1x1", "size 10", "print A",  //
        "size 9.5", "font FontControl", "print  ", "print  ", "print P", "end document",
        "font FontA1x1", "size 10", "print B"}},
  };
  for (const auto& c : cases) EXPECT_EQ(JobTrace(c.family, c.lines), c.expected) << c.name;
}

}  // namespace
}  // namespace valico
