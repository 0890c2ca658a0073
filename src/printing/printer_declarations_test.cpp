#include "printing/printer_declarations.h"

#include <gtest/gtest.h>

namespace valico {
namespace {

TEST(PrinterDeclarationsTest, SectionsArePrintersInFileOrderWithTheirOutputsAndProfiles) {
  std::vector<std::string> problems;
  auto printers = ParsePrinterDeclarations(
      "; printers of this till\r\n"
      "[EPSON TM-U295 Slip]\r\nPorta=COM3:\r\nUscita=cups:U295@127.0.0.1:8631\r\n"
      "Tipo=Modulo\r\nChiediStato=False\r\n"
      "[SAMSUNG SRP-350 Receipt]\r\nporta=COM4:\r\nUscita=escpos:/dev/usb/lp0\r\n"
      "Predefinita=-1\r\nAttesa=5\r\nChiediStato=0\r\nDpi=203\r\nLarghezza=576\r\nCodifica="
      "858\r\nTaglio=1D 56 41 00\r\n"
      "[Anteprima]\nPorta=Ne01:\nUscita=ANTEPRIMA:Anteprime\nComandi=ESC!\nFineDocumento=0C\n"
      "Attesa=0\nChiediStato=forse\n"
      "[]\nPorta=x\n"
      "[anteprima]\nPorta=Ne02:\n"
      "[Senza uscita]\nPorta=LPT1:\nUsicta=escpos:/dev/lp0\nTaglio 1D 56\nDpi=tanti\n"
      "Predefinita=-1\n"
      "[Sconosciuta]\nPorta=COM9:\nUscita=stampante:qualcosa\n"
      "[Caff\xE8 [A]] ; a note\nUscita=escpos:COM5\nAttesa=1440\nChiediStato=Vero\n"
      "[CAFF\xC8 [a]]\nPorta=COM6:\n",
      &problems);
  ASSERT_EQ(printers.size(), 6u);
  struct {
    const char* device;
    const char* port;
    PrinterOutput output;
    const char* target;
    bool is_default;
    std::optional<int> wait_minutes;
    bool ask_status;
  } expected[] = {
      {"EPSON TM-U295 Slip", "COM3:", PrinterOutput::kCups, "U295@127.0.0.1:8631", false,
       std::nullopt, false},
      {"SAMSUNG SRP-350 Receipt", "COM4:", PrinterOutput::kEscPos, "/dev/usb/lp0", true, 5, false},
      {"Anteprima", "Ne01:", PrinterOutput::kPreview, "Anteprime", false, {}, true},
      {"Senza uscita", "LPT1:", PrinterOutput::kNone, "", false, {}, true},
      {"Sconosciuta", "COM9:", PrinterOutput::kNone, "", false, {}, true},
      {"Caff\xE8 [A]", "", PrinterOutput::kEscPos, "COM5", false, 1440, true},
  };
  for (size_t i = 0; i < printers.size(); ++i) {
    EXPECT_EQ(printers[i].info, (PrinterInfo{expected[i].device, expected[i].port}));
    EXPECT_EQ(printers[i].output, expected[i].output) << expected[i].device;
    EXPECT_EQ(printers[i].target, expected[i].target) << expected[i].device;
    EXPECT_EQ(printers[i].is_default, expected[i].is_default) << expected[i].device;
    EXPECT_EQ(printers[i].wait_minutes, expected[i].wait_minutes) << expected[i].device;
    EXPECT_EQ(printers[i].ask_status, expected[i].ask_status) << expected[i].device;
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
                          "[Anteprima] Attesa=0 is not a number from 1 to 1440: the program's "
                          "wait is used",
                          "[Anteprima] ChiediStato=forse is not -1 or 0",
                          "a section without a name is ignored",
                          "[anteprima] is declared twice: the first section counts",
                          "[Senza uscita] unknown key \"Usicta\" is ignored",
                          "[Senza uscita] \"Taglio 1D 56\" has no \"=\" and is ignored",
                          "[Senza uscita] Dpi=tanti is not a number from 60 to 600: 180 is used",
                          "[Senza uscita] no Uscita: the printer is listed but prints nothing",
                          "[Senza uscita] Predefinita: another printer is the default already",
                          "[Sconosciuta] Uscita=stampante:qualcosa is not anteprima:FOLDER, "
                          "escpos:TARGET or cups:QUEUE: the printer is listed but prints nothing",
                          "[CAFF\xC8 [a]] is declared twice: the first section counts",
                      }));
}

}  // namespace
}  // namespace valico
