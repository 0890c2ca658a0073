#include "prebill/prebill_renderer.h"

#include <gtest/gtest.h>

#include "platform/testing/test_platform.h"
#include "printing/escpos_encoder.h"
#include "printing/ops.h"
#include "printing/printer_declarations.h"
#include "printing/testing/bitmap_files.h"
#include "printing/testing/recording_print_system.h"
#include "printing/trace.h"
#include "settings/typed_value.h"

namespace valico {
namespace {

using testing::RecordingPrintSystem;
using testing::TestPlatform;

std::string H(std::string_view hex) {
  std::string bytes;
  EXPECT_TRUE(ParseHexBytes(hex, &bytes)) << hex;
  return bytes;
}

// "DEVICE: op|op|...", as the preview trace lists a document's operations.
std::string Trace(const Document& doc) {
  std::string s = doc.printer + ":";
  for (const PrinterOp& op : doc.ops) s += (s.back() == ':' ? " " : "|") + Describe(op);
  return s;
}

enum class Logo { kOff, kPresent, kMissing };  // Cort_Logo, and LogoCassa.bmp in Borea's folder
enum Model { kOlivetti, kSamsung, kSolipos };

const PrinterInfo k500{"SAMSUNG SRP-500 (350)", "COM3:"};  // "500" wins over "350"
const PrinterInfo k350{"SAMSUNG SRP-350", "COM3:"};
const PrinterInfo k103{"SAMSUNG STP-103", "COM3:"};
const std::string kError = "ERRORE: file scontrino mancante o errato!";
const std::string kErrorLine =
    "font FontA12cpi|size 9|bold on|print " + kError + "|bold off";  // as a document opens
const std::string kInit = "\x1b@\x1bt\x10";                          // initialise, Windows-1252

TEST(PrebillRendererTest, JobsOnThePrinterOfThePort) {
  struct Case {
    const char* name;
    Model model;
    std::vector<PrinterInfo> installed;
    const char* cort_com;  // as _Valico.ini holds it
    Logo logo;
    std::optional<std::string> job;  // none: no job file
    std::vector<std::string> printed;
    std::string left_open;  // the document still open after the job, "" when none
    bool job_deleted;
    std::string escpos;  // the printed documents as ESC/POS bytes; "" not checked
  } cases[] = {
      {"500: w, black and bold red lines, P; the job stays for the intake",
       kSamsung,
       {k500},
       "3",
       Logo::kOff,
       "Conto#0#9#0#0#N\r\nTotale#0#18#1#1#R\r\n#1\r\n",
       {"SAMSUNG SRP-500 (350): font FontControl|size 9|print w|font FontA15cpi|size 9|"
        "colour 0,0,0|print Conto|bold off|font FontA15cpi|size 18|colour 255,0,0|bold on|"
        "print Totale|bold off|size 9|font FontControl|print P"},
       "",
       false,
       kInit + H("1B 61 00") + "Conto\n" + H("1B 45 01 1B 72 01") + "Totale\n" + H("1D 56 42 00")},
      {"350 on the first of two printers on COM3:, which deletes the job",
       kSamsung,
       {k350, k500},
       "3",
       Logo::kOff,
       "Coperti 2#0#9#0\r\n#1\r\n",
       {"SAMSUNG SRP-350: font FontA1x1|size 14|print Coperti 2|size 9.5|font FontControl|"
        "print  |print  |print P"},
       "",
       true,
       kInit + "Coperti 2\n" + H("0A 0A 1D 56 42 00")},
      {"103: a size-8 line after a barcode prints in FontB1x1 at 7; four blanks end it",
       kSamsung,
       {k103},
       "3",
       Logo::kOff,
       "8001234567897#0#9#13\r\nCoperto#0#8#1\r\n#1\r\n",
       {"SAMSUNG STP-103: font FontControl|size 8.5|print r|print x|size 18|font JAN13(EAN)|"
        "print 8001234567897|font FontB1x1|size 7|print Coperto|font FontB1x1|print  |print  |"
        "print  |print  "},
       "",
       true,
       kInit + H("1D 48 02 1B 61 01 1D 68 2D 1D 77 02 1D 66 00 1D 6B 43 0D") + "8001234567897" +
           H("1B 4D 01") + "Coperto\n" + " \n \n \n \n"},
      {"a job not ended by its last line leaves that receipt open",
       kSamsung,
       {k350},
       "3",
       Logo::kOff,
       "A\r\n#1\r\nB#0",
       {"SAMSUNG SRP-350: font FontA1x1|size 10|print A|size 9.5|font FontControl|print  |"
        "print  |print P"},
       "SAMSUNG SRP-350: font FontA1x1|size 10|print B",
       true,
       ""},
      {"500 with its logo: the logo is a print job of its own",
       kSamsung,
       {k500},
       "3",
       Logo::kPresent,
       "Ciao#0#9#0#0#N\r\n#1\r\n",
       {"SAMSUNG SRP-500 (350): position x=0 y=0|bitmap 3x2",
        "SAMSUNG SRP-500 (350): font FontControl|size 9|print w|font FontA15cpi|size 9|"
        "colour 0,0,0|print Ciao|bold off|size 9|font FontControl|print P"},
       "",
       false,
       // 3 x 2 pixels at 96 per inch are 5 x 3 dots at 180; the red pixel prints.
       kInit + H("1D 76 30 00 01 00 03 00 C0 C0 00") + kInit + H("1B 61 00") + "Ciao\n" +
           H("1D 56 42 00")},
      {"500 without its logo file prints the job without it",
       kSamsung,
       {k500},
       "3",
       Logo::kMissing,
       "Ciao#0#9#0#0#N\r\n",
       {},
       "SAMSUNG SRP-500 (350): font FontControl|size 9|position x=0 y=0|print w|"
       "font FontA15cpi|size 9|colour 0,0,0|print Ciao|bold off",
       false,
       ""},
      {"350 without its logo file prints the error line instead",
       kSamsung,
       {k350},
       "3",
       Logo::kMissing,
       "Ciao\r\n#1\r\n",
       {"SAMSUNG SRP-350: " + kErrorLine},
       "",
       false,
       kInit + H("1B 45 01 1B 20 03") + kError + "\n"},
      {"103 without its logo file prints the error line instead",
       kSamsung,
       {k103},
       "3",
       Logo::kMissing,
       "Ciao\r\n#1\r\n",
       {"SAMSUNG STP-103: " + kErrorLine},
       "",
       false,
       ""},
      {"500, no job file: w, then the error line",
       kSamsung,
       {k500},
       "3",
       Logo::kOff,
       std::nullopt,
       {"SAMSUNG SRP-500 (350): font FontControl|size 9|print w|size 9|font FontA12cpi|bold on|"
        "print " +
        kError + "|bold off"},
       "",
       false,
       ""},
      {"350, no job file: the error line",
       kSamsung,
       {k350},
       "3",
       Logo::kOff,
       std::nullopt,
       {"SAMSUNG SRP-350: " + kErrorLine},
       "",
       false,
       ""},
      {"103, no job file: the error line",
       kSamsung,
       {k103},
       "3",
       Logo::kOff,
       std::nullopt,
       {"SAMSUNG STP-103: " + kErrorLine},
       "",
       false,
       ""},
      {"SAMSUNG does not find a printer on com3:",
       kSamsung,
       {{"SAMSUNG SRP-350", "com3:"}},
       "3",
       Logo::kOff,
       "Ciao\r\n",
       {},
       "",
       false,
       ""},
      {"SAMSUNG with Ne01 looks for COMNe01:",
       kSamsung,
       {{"SAMSUNG SRP-350 rete", "Ne01:"}, {"SAMSUNG STP-103", "COMNe01:"}},
       "Ne01",
       Logo::kOff,
       "Ciao#0#8#0\r\n",
       {},
       "SAMSUNG STP-103: font FontB1x1|size 7|print Ciao",
       true,
       ""},
      {"OLIVETTI finds com3:, prints every line in FontA11 without its marks",
       kOlivetti,
       {{"Predefinita", "LPT1:"}, {"Olivetti PRT100", "com3:"}},
       "3",
       Logo::kOff,
       "A\xa7"
       "DBC\r\nDEF\r\n",
       {"Olivetti PRT100: font FontA11|print ABC|font FontA11|print DEF"},
       "",
       true,
       kInit + "ABC\nDEF\n"},
      {"OLIVETTI with Ne01 looks for Ne01:",
       kOlivetti,
       {{"Cassa", "COMNe01:"}, {"Olivetti rete", "NE01:"}},
       "Ne01",
       Logo::kOff,
       "A\r\n",
       {"Olivetti rete: font FontA11|print A"},
       "",
       true,
       ""},
      {"OLIVETTI without a printer on the port prints on the current one",
       kOlivetti,
       {{"Predefinita", "LPT1:"}},
       "3",
       Logo::kOff,
       "A\r\n",
       {"Predefinita: font FontA11|print A"},
       "",
       true,
       ""},
      {"OLIVETTI, no job file: nothing printed",
       kOlivetti,
       {{"Olivetti PRT100", "COM3:"}},
       "3",
       Logo::kOff,
       std::nullopt,
       {},
       "",
       true,
       ""},
      {"SOLIPOS finds com3: and prints only its N:SCO:TXT: lines in Courier New",
       kSolipos,
       {{"Solipos", "com3:"}},
       "3",
       Logo::kOff,
       "N:SCO:TXT:Grazie\r\nn:sco:txt:no\r\nNO\r\nN:SCO:TXT:\r\n",
       {"Solipos: font Courier New|size 9|print Grazie|font Courier New|size 9|print "},
       "",
       true,
       kInit + "Grazie\n\n"},
      {"SOLIPOS without N:SCO:TXT: lines prints nothing",
       kSolipos,
       {{"Solipos", "COM3:"}},
       "3",
       Logo::kOff,
       "Grazie\r\n",
       {},
       "",
       true,
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestPlatform t;
    RecordingPrintSystem system;
    system.installed = c.installed;
    system.default_printer = c.installed.front().device;
    Printers printers(system, t.log, t.folder / "NonStampati");
    Config cfg;
    cfg.DirBorea = "C:\\CALDERA";
    cfg.Cort_Com = ConvertStoredText(c.cort_com, t.regional);
    cfg.Cort_Logo = c.logo != Logo::kOff;
    if (c.logo == Logo::kPresent)
      t.folder.Write("drive_c/CALDERA/LogoCassa.bmp", testing::BitmapFile(3, 2));
    if (c.job) t.folder.Write("CortIN/job.txt", *c.job);
    const std::string job = t.InFolder("CortIN\\job.txt");

    InstalledPrinterPrebill prebill(cfg, t.regional, t.files, printers, t.dialogs, t.log);
    switch (c.model) {
      case kOlivetti:
        prebill.StampaCortOlivetti(job);
        break;
      case kSamsung:
        prebill.StampaCortSamsung(job);
        break;
      case kSolipos:
        prebill.StampaCortSolipos(job);
        break;
    }

    std::vector<std::string> printed;
    std::string escpos;
    for (const Document& d : system.printed) {
      printed.push_back(Trace(d));
      escpos += EncodeEscPos(d, PrinterProfile{});
    }
    EXPECT_EQ(printed, c.printed);
    if (!c.escpos.empty()) {
      EXPECT_EQ(escpos, c.escpos);
    }
    EXPECT_EQ(t.log.Contains("message box: Stampante NON trovata"),
              c.printed.empty() && c.left_open.empty() && c.model == kSamsung);
    EXPECT_EQ(t.files.Exists(job), c.job && !c.job_deleted);
    printers.Apply(ops::EndDocument());
    EXPECT_EQ(system.printed.size() > printed.size() ? Trace(system.printed.back()) : "",
              c.left_open);
  }
}

}  // namespace
}  // namespace valico
