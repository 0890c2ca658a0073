#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/testing/temp_folder.h"
#include "settings/config.h"
#include "shell/testing/run_valico.h"

namespace valico {
namespace {

using testing::CommandResult;
using testing::RunValico;

// The printers of _Stampanti.ini, three lines each; print-test prints on the default one or
// on the one named.
TEST(PrinterCommandsPosixTest, PrintersAndPrintTestUseTheDeclaredPrinters) {
  testing::ValicoHome home;
  CommandResult r = home.Run({"printers"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "") << "no _Stampanti.ini, no printers";
  home.Write("rotolo.bin", "");
  home.Write("_Stampanti.ini",
             "[Anteprima]\r\nPorta=Ne01:\r\nUscita=anteprima:Anteprime\r\n"
             "[Rotolo]\nPorta=COM4:\nUscita=escpos:rotolo.bin\nPredefinita=-1\n");
  const std::string hyphens = "-------------------------------------\r\n";
  EXPECT_EQ(home.Run({"printers"}).out, "Port    > Ne01:\r\nPrinter > Anteprima\r\n" + hyphens +
                                            "Port    > COM4:\r\nPrinter > Rotolo\r\n" + hyphens);

  r = home.Run({"print-test"});
  EXPECT_EQ(r.status, 0) << r.err;
  std::string bytes = home.Read("rotolo.bin");
  EXPECT_EQ(bytes.substr(0, 5), "\x1b@\x1bt\x10");
  EXPECT_NE(bytes.find("\x1dk\x43\x0d"
                       "8001234567897"),
            std::string::npos)
      << "the EAN-13";
  EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string("\x1dVB\0", 4)) << "the cut last";
  EXPECT_EQ(home.Run({"print-test", "--printer", "Anteprima"}).status, 0);
  EXPECT_TRUE(home.Has("Anteprime/0001-Anteprima.png"));
  r = home.Run({"print-test", "--printer", "Nessuna"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Errore: printer \"Nessuna\" is not installed"), std::string::npos);
}

// Receipt-form printers whose documents become previews in Anteprime.
const char kReceiptPrinters[] =
    "[EPSON TM-L90 Receipt]\nPorta=COM3:\nUscita=anteprima:Anteprime\n"
    "[EPSON TM-U295 Slip]\nPorta=COM4:\nUscita=anteprima:Anteprime\nTipo=Modulo\n";

std::string ReceiptJob(int lines) {
  std::string job = "I1 Trattoria\r\n\"I2 Tavolo 5, coperti 2\"\r\n";
  for (int k = 1; k <= lines; ++k) job += "RR Riga " + std::to_string(k) + "\r\n";
  return job;
}

std::string ReceiptSettings(const std::string& printer, const std::string& port) {
  return "[Varie]\r\nBorea_Setting=0\r\nRF_Active=-1\r\nRF_Stampante=" + printer +
         "\r\nRF_Seriale=" + port + "\r\nRF_File=C:\\Borea\\rf.txt\r\n";
}

TEST(PrinterCommandsPosixTest, TheServicePrintsAReceiptJobAndDeletesItUnlessNoLayoutFits) {
  testing::ValicoHome home;
  home.Write("_Stampanti.ini", kReceiptPrinters);
  home.Write("_Valico.ini", ReceiptSettings(kRfTmL90, "3"));
  home.Write("drive_c/Borea/rf.txt", ReceiptJob(30));
  CommandResult r = home.Run({"run", "--ticks", "3"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_FALSE(home.Has("drive_c/Borea/rf.txt"));
  EXPECT_TRUE(home.Has("Anteprime/0002-EPSON_TM-L90_Receipt.png")) << "its second page";

  home.Write("_Valico.ini", ReceiptSettings("EPSON TM-L90", "3"));
  home.Write("drive_c/Borea/rf.txt", ReceiptJob(30));
  r = home.Run({"run", "--ticks", "3"});
  EXPECT_TRUE(home.Has("drive_c/Borea/rf.txt"));
  size_t said = r.err.find("names no receipt layout");
  EXPECT_TRUE(said != std::string::npos && said == r.err.rfind("names no receipt layout"))
      << "said once: " << r.err;
}

TEST(PrinterCommandsPosixTest, RenderWritesPreviewsOfAJobAndLeavesIt) {
  testing::TempFolder dir;
  dir.Write("rf.txt", ReceiptJob(30));
  CommandResult r = RunValico(
      {"render", dir / "rf.txt", "--as", "Custom KUBE Ric. Fisc. [A]", "--out", dir / "out"});
  EXPECT_EQ(r.status, 0) << r.err;
  std::string files;
  for (const char* page : {"0001", "0002"})
    for (const char* ext : {".txt", ".png", ".pdf"})
      files += dir / "out" + "/" + page + "-Custom_KUBE_Ric._Fisc.__A_" + ext + "\n";
  EXPECT_EQ(r.out, files);
  EXPECT_NE(dir.Read("out/0002-Custom_KUBE_Ric._Fisc.__A_.txt").find("print Riga 30\n"),
            std::string::npos);
  EXPECT_EQ(dir.Read("rf.txt"), ReceiptJob(30));
}

// A pre-bill is printed by its model's routine on the printer named, whose name gives the
// family, reading its numbers as --locale writes them; the job file stays, also when it
// cannot be printed.
TEST(PrinterCommandsPosixTest, RenderPrintsAPreBillAsTheNamedPrintersFamily) {
  struct Case {
    const char* locale;
    const char* model;
    const char* printer;
    std::string job, printed;  // printed: the first preview's text, or the error
  };
  const Case cases[] = {
      // Formato "1,5" is 1, the font of double height, where "," is the decimal separator.
      {"it_IT", "SAMSUNG", "SAMSUNG SRP-275", "Coperti 2#0#9#1,5\r\n",
       "printer SAMSUNG SRP-275\nfont FontB1x2\nsize 14\nprint Coperti 2\n"},
      {"en_US", "SAMSUNG", "SAMSUNG SRP-275", "Coperti 2#0#9#1,5\r\n",
       "printer SAMSUNG SRP-275\nsize 14\nprint Coperti 2\n"},
      {"", "SOLIPOS CALDERA", "", "Coperti 2#0#9#0\r\n", "Errore: the job prints nothing"},
      {"", kRfTmU295, "", std::string("RR \0", 4), "Errore: it holds NUL bytes"},
      {"", "DPT-282", "", "Coperti 2#0#9#0\r\n", "--as: DPT-282 not in"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.locale) + " " + c.job);
    testing::TempFolder dir;
    dir.Write("conto.txt", c.job);
    std::vector<std::string> args = {"render", dir / "conto.txt", "--as",
                                     c.model,  "--out",           dir / "out"};
    if (*c.printer) args.insert(args.end(), {"--printer", c.printer});
    if (*c.locale) args.insert(args.begin(), {"--locale", c.locale});
    CommandResult r = RunValico(args);
    if (c.printed.rfind("printer ", 0) != 0) {
      EXPECT_NE(r.status, 0);
      EXPECT_NE(r.err.find(c.printed), std::string::npos) << r.err;
    } else {
      EXPECT_EQ(r.status, 0) << r.err;
      std::string preview = "out/0001-" + std::string(c.printer) + ".txt";
      std::replace(preview.begin(), preview.end(), ' ', '_');
      EXPECT_EQ(r.out.substr(0, r.out.find('\n')), dir / preview);
      EXPECT_EQ(dir.Read(preview), c.printed);
    }
    EXPECT_EQ(dir.Read("conto.txt"), c.job);
  }
}

TEST(PrinterCommandsPosixTest, SlipTestPrintsTheCalibrationOrSaysWhyNot) {
  testing::ValicoHome home;
  home.Write("_Stampanti.ini", kReceiptPrinters);
  home.Write("_Valico.ini", ReceiptSettings(kRfTmU295, "3"));
  CommandResult r = home.Run({"slip-test", "--rows", "3", "--cols", "10"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.find("Al termine della stampa\nControllare il numero delle righe"), 0u);
  EXPECT_EQ(home.Read("Anteprime/0001-EPSON_TM-U295_Slip.txt"),
            "printer EPSON TM-U295 Slip\nprint A234567890\nprint R02\nprint R03\n");

  home.Write("_Valico.ini", ReceiptSettings(kRfTmU295, "Ne01"));
  r = home.Run({"slip-test"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Nella schermata principale non sono stati impostati correttamtente\n"
                       "i parametri relativi alla Epson TM-U295.\n"),
            std::string::npos);
}

}  // namespace
}  // namespace valico
