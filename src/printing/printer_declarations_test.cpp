#include "printing/printer_declarations.h"

#include <gtest/gtest.h>

namespace valico {
namespace {

TEST(PrinterDeclarationsTest, SectionsArePrintersInFileOrderWithTheirOutputsAndProfiles) {
  std::vector<std::string> problems;
  auto printers = ParsePrinterDeclarations(
      "; printers of this till\r\n"
      "[EPSON TM-U295 Slip]\r\nPorta=COM3:\r\nUscita=cups:TM-U295@127.0.0.1:8631\r\n"
      "Tipo=Modulo\r\n"
      "[SAMSUNG SRP-350 Receipt]\r\nporta=COM4:\r\nUscita=escpos:/dev/usb/lp0\r\n"
      "Predefinita=-1\r\nDpi=203\r\nLarghezza=576\r\nCodifica=858\r\nTaglio=1D 56 41 00\r\n"
      "[Anteprima]\nPorta=Ne01:\nUscita=ANTEPRIMA:Anteprime\nComandi=ESC!\nFineDocumento=0C\n"
      "[]\nPorta=x\n"
      "[anteprima]\nPorta=Ne02:\n"
      "[Senza uscita]\nPorta=LPT1:\nUsicta=escpos:/dev/lp0\nDpi=tanti\nPredefinita=-1\n"
      "[Sconosciuta]\nPorta=COM9:\nUscita=stampante:qualcosa\n",
      &problems);
  ASSERT_EQ(printers.size(), 5u);
  struct {
    const char* device;
    const char* port;
    PrinterOutput output;
    const char* target;
    bool is_default;
  } expected[] = {
      {"EPSON TM-U295 Slip", "COM3:", PrinterOutput::kCups, "TM-U295@127.0.0.1:8631", false},
      {"SAMSUNG SRP-350 Receipt", "COM4:", PrinterOutput::kEscPos, "/dev/usb/lp0", true},
      {"Anteprima", "Ne01:", PrinterOutput::kPreview, "Anteprime", false},
      {"Senza uscita", "LPT1:", PrinterOutput::kNone, "", false},
      {"Sconosciuta", "COM9:", PrinterOutput::kNone, "", false},
  };
  for (size_t i = 0; i < printers.size(); ++i) {
    EXPECT_EQ(printers[i].info, (PrinterInfo{expected[i].device, expected[i].port}));
    EXPECT_EQ(printers[i].output, expected[i].output) << expected[i].device;
    EXPECT_EQ(printers[i].target, expected[i].target) << expected[i].device;
    EXPECT_EQ(printers[i].is_default, expected[i].is_default) << expected[i].device;
  }
  EXPECT_EQ(printers[0].profile, SlipPrinterProfile());
  PrinterProfile samsung;
  samsung.dpi = 203;
  samsung.width_dots = 576;
  samsung.code_page = 858;
  samsung.cut = std::string("\x1d\x56\x41\x00", 4);
  EXPECT_EQ(printers[1].profile, samsung);
  EXPECT_EQ(printers[2].profile.dialect, EscPosDialect::kEscBang);
  EXPECT_EQ(printers[2].profile.end_of_document, "\x0c");
  EXPECT_EQ(printers[3].profile.dpi, 180) << "a wrong value keeps the default";

  EXPECT_EQ(problems, (std::vector<std::string>{
                          "a section without a name is ignored",
                          "[anteprima] is declared twice: the first section counts",
                          "[Senza uscita] unknown key \"Usicta\" is ignored",
                          "[Senza uscita] Dpi=tanti is not a number from 60 to 600: 180 is used",
                          "[Senza uscita] no Uscita: the printer is listed but prints nothing",
                          "[Senza uscita] Predefinita: another printer is the default already",
                          "[Sconosciuta] Uscita=stampante:qualcosa is not anteprima:FOLDER, "
                          "escpos:TARGET or cups:QUEUE: the printer is listed but prints nothing",
                      }));
}

}  // namespace
}  // namespace valico
