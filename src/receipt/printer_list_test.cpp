#include "receipt/printer_list.h"

#include <gtest/gtest.h>

namespace valico {
namespace {

TEST(PrinterListTest, ThreeLinesPerPrinterInTheGivenOrder) {
  const std::string hyphens = "-------------------------------------\r\n";
  EXPECT_EQ(PrinterListText({}), "");
  EXPECT_EQ(PrinterListText({{"Anteprima", "Ne01:"}}),
            "Port    > Ne01:\r\nPrinter > Anteprima\r\n" + hyphens);
  EXPECT_EQ(PrinterListText({{"EPSON TM-U295 Slip", "COM3:"}, {"Anteprima", "Ne01:"}}),
            "Port    > COM3:\r\nPrinter > EPSON TM-U295 Slip\r\n" + hyphens +
                "Port    > Ne01:\r\nPrinter > Anteprima\r\n" + hyphens);
}

}  // namespace
}  // namespace valico
