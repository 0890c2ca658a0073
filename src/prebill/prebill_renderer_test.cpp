#include "prebill/prebill_renderer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/testing/test_platform.h"
#include "printing/escpos_encoder.h"
#include "printing/ops.h"
#include "printing/print_queue.h"
#include "printing/printer_declarations.h"
#include "printing/testing/bitmap_files.h"
#include "printing/testing/direct_printers.h"
#include "printing/testing/recording_print_system.h"
#include "printing/trace.h"
#include "settings/typed_value.h"

namespace valico {
namespace {

std::string H(std::string_view hex) {
  std::string bytes;
  EXPECT_TRUE(ParseHexBytes(hex, &bytes)) << hex;
  return bytes;
}

enum Model { kOlivetti, kSamsung, kSolipos };
enum class Logo { kOff, kPresent, kMissing };  // Cort_Logo, and LogoCassa.bmp in Borea's folder

// What one routine left behind: each printed document as "DEVICE: op|op|..." (the preview
// trace's lines) and as the ESC/POS bytes of a receipt roll, the document still open, the
// message box, and whether the job file is still there.
struct Outcome {
  std::vector<std::string> printed;
  std::string escpos, left_open;
  bool not_found_box = false, job_left = false;
};

std::string Trace(const Document& doc) {
  std::string s = doc.printer + ":";
  for (const PrinterOp& op : doc.ops) s += (s.back() == ':' ? " " : "|") + Describe(op);
  return s;
}

// Runs one job (none: no job file) through the real printer model over `installed` printers,
// the first of them the system's default.
Outcome RunJob(Model model, std::vector<PrinterInfo> installed, const char* cort_com, Logo logo,
               const std::optional<std::string>& job) {
  testing::TestPlatform t;
  testing::RecordingPrintSystem system;
  system.installed = installed;
  system.default_printer = installed.front().device;
  testing::DirectPrinters direct(system, t.log, t.folder.path());
  Printers& printers = direct.printers;
  Config cfg;
  cfg.DirBorea = "C:\\CALDERA";
  cfg.Cort_Com = ConvertStoredText(cort_com, t.regional);
  cfg.Cort_Logo = logo != Logo::kOff;
  if (logo == Logo::kPresent)
    t.folder.Write("drive_c/CALDERA/LogoCassa.bmp", testing::BitmapFile(3, 2));
  if (job) t.folder.Write("CortIN/job.txt", *job);
  const std::string path = t.InFolder("CortIN\\job.txt");
  InstalledPrinterPrebill prebill(cfg, t.regional, t.files, printers, t.dialogs, t.log);
  if (model == kOlivetti) prebill.StampaCortOlivetti(path);
  if (model == kSamsung) prebill.StampaCortSamsung(path);
  if (model == kSolipos) prebill.StampaCortSolipos(path);

  Outcome o;
  for (const Document& d : system.printed) {
    o.printed.push_back(Trace(d));
    o.escpos += EncodeEscPos(d, PrinterProfile{});
  }
  o.not_found_box = t.log.Contains("message box: Stampante NON trovata");
  o.job_left = t.files.Exists(path);
  printers.Apply(ops::EndDocument());
  if (system.printed.size() > o.printed.size()) o.left_open = Trace(system.printed.back());
  return o;
}

TEST(PrebillRendererTest, EachModelFindsItsPrinterByPort) {
  const std::vector<PrinterInfo> lower = {{"Altra", "LPT1:"}, {"Cassa", "com3:"}};
  struct {
    const char* name;
    Model model;
    std::vector<PrinterInfo> installed;
    const char* cort_com;
    const char* printed_on;  // "": nothing printed, "Stampante NON trovata"
  } cases[] = {
      // clang-format off
      {"two printers on COM3:, the first wins", kSamsung,
       {{"Primo", "COM3:"}, {"Secondo", "COM3:"}}, "3", "Primo"},
      {"SAMSUNG compares with case", kSamsung, lower, "3", ""},
      {"OLIVETTI compares without case", kOlivetti, lower, "3", "Cassa"},
      {"SOLIPOS compares without case", kSolipos, lower, "3", "Cassa"},
      {"SAMSUNG puts COM before Ne01", kSamsung,
       {{"Rete", "Ne01:"}, {"Cassa", "COMNe01:"}}, "Ne01", "Cassa"},
      {"OLIVETTI takes Ne01 as the port's name", kOlivetti,
       {{"Cassa", "COMNe01:"}, {"Rete", "NE01:"}}, "Ne01", "Rete"},
      {"OLIVETTI without a printer on the port prints on the current one", kOlivetti,
       {{"Altra", "LPT1:"}}, "3", "Altra"},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const char* job = c.model == kSolipos ? "N:SCO:TXT:x\r\n" : "x#0#8#0\r\n#1\r\n";
    Outcome o = RunJob(c.model, c.installed, c.cort_com, Logo::kOff, job);
    ASSERT_EQ(o.printed.size(), *c.printed_on ? 1u : 0u);
    if (*c.printed_on) {
      EXPECT_EQ(o.printed[0].substr(0, o.printed[0].find(':')), c.printed_on);
    }
    EXPECT_EQ(o.not_found_box, !*c.printed_on);
  }
}

const PrinterInfo k500{"SAMSUNG SRP-500 (350)", "COM3:"};  // "500" wins over "350"
const PrinterInfo k350{"SAMSUNG SRP-350", "COM3:"};
const PrinterInfo k103{"SAMSUNG STP-103", "COM3:"};
const std::string kError = "ERRORE: file scontrino mancante o errato!";
const std::string kErrorLine = "font FontA12cpi|size 9|bold on|print " + kError + "|bold off";
const std::string kInit = "\x1b@\x1bt\x10";  // initialise, Windows-1252

TEST(PrebillRendererTest, FieldFormatJobsPrintInTheirFamilysDialect) {
  struct {
    const char* name;
    PrinterInfo printer;
    Logo logo;
    std::optional<std::string> job;
    std::vector<std::string> printed;  // without the device's name
    std::string left_open;
    bool job_deleted;    // the job file goes once the documents it ended are queued
    std::string escpos;  // "": not checked
  } cases[] = {
      // clang-format off
      {"500: w, a black and a bold red line, P; the job goes once queued", k500, Logo::kOff,
       "Conto#0#9#0#0#N\r\nTotale#0#18#1#1#R\r\n#1\r\n",
       {"font FontControl|size 9|print w|font FontA15cpi|size 9|colour 0,0,0|print Conto|"
        "bold off|font FontA15cpi|size 18|colour 255,0,0|bold on|print Totale|bold off|size 9|"
        "font FontControl|print P"}, "", true,
       kInit + H("1B 61 00") + "Conto\n" + H("1B 45 01 1B 72 01") + "Totale\n" + H("1D 56 42 00")},
      {"350: blanks and P at 9.5 end it; the routine deletes the job", k350, Logo::kOff,
       "Coperti 2#0#9#0\r\n#1\r\n",
       {"font FontA1x1|size 14|print Coperti 2|size 9.5|font FontControl|print  |print  |print P"},
       "", true, kInit + "Coperti 2\n" + H("0A 0A 1D 56 42 00")},
      {"103: a size-8 line after a barcode in FontB1x1 at 7; four blanks end it", k103, Logo::kOff,
       "8001234567897#0#9#13\r\nCoperto#0#8#1\r\n#1\r\n",
       {"font FontControl|size 8.5|print r|print x|size 18|font JAN13(EAN)|print 8001234567897|"
        "font FontB1x1|size 7|print Coperto|font FontB1x1|print  |print  |print  |print  "},
       "", true,
       kInit + H("1D 48 02 1B 61 01 1D 68 2D 1D 77 02 1D 66 00 1D 6B 43 0D") + "8001234567897" +
       H("1B 4D 01") + "Coperto\n \n \n \n \n"},
      {"the last receipt without its end stays open", k350, Logo::kOff, "A\r\n#1\r\nB#0",
       {"font FontA1x1|size 10|print A|size 9.5|font FontControl|print  |print  |print P"},
       "font FontA1x1|size 10|print B", true, ""},
      {"the logo is a print job of its own, 3 x 2 pixels in 5 x 3 dots", k500, Logo::kPresent,
       "Ciao#0#9#0#0#N\r\n",
       {"position x=0 y=0|bitmap 3x2"},
       "font FontControl|size 9|print w|font FontA15cpi|size 9|colour 0,0,0|print Ciao|bold off",
       true, kInit + H("1D 76 30 00 01 00 03 00 C0 C0 00")},
      {"350 prints the logo first too", k350, Logo::kPresent, "Ciao\r\n",
       {"position x=0 y=0|bitmap 3x2"}, "font FontA1x1|size 10|print Ciao", true, ""},
      {"500 leaves a missing logo out", k500, Logo::kMissing, "Ciao#0#9#0#0#N\r\n", {},
       "font FontControl|size 9|position x=0 y=0|print w|font FontA15cpi|size 9|colour 0,0,0|"
       "print Ciao|bold off", false, ""},
      {"350: a missing logo prints the error line instead", k350, Logo::kMissing, "Ciao\r\n",
       {kErrorLine}, "", true, kInit + H("1B 45 01 1B 20 03") + kError + "\n"},
      {"103: a missing logo prints the error line instead", k103, Logo::kMissing, "Ciao\r\n",
       {kErrorLine}, "", true, ""},
      {"500: no job file, w then the error line", k500, Logo::kOff, std::nullopt,
       {"font FontControl|size 9|print w|size 9|font FontA12cpi|bold on|print " + kError +
        "|bold off"}, "", false, ""},
      {"350: no job file, the error line", k350, Logo::kOff, std::nullopt, {kErrorLine}, "", 0, ""},
      {"103: no job file, the error line", k103, Logo::kOff, std::nullopt, {kErrorLine}, "", 0, ""},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Outcome o = RunJob(kSamsung, {c.printer}, "3", c.logo, c.job);
    std::vector<std::string> printed;
    for (const std::string& d : c.printed) printed.push_back(c.printer.device + ": " + d);
    EXPECT_EQ(o.printed, printed);
    EXPECT_EQ(o.left_open, c.left_open.empty() ? "" : c.printer.device + ": " + c.left_open);
    EXPECT_EQ(o.job_left, c.job && !c.job_deleted);
    if (!c.escpos.empty()) {
      EXPECT_EQ(o.escpos, c.escpos);
    }
  }
}

TEST(PrebillRendererTest, PlainAndScoLinesPrintAsOneDocumentAndTheJobGoes) {
  const std::vector<PrinterInfo> printer = {{"Cassa", "COM3:"}};
  struct {
    const char* name;
    Model model;
    std::optional<std::string> job;
    std::vector<std::string> printed;
  } cases[] = {
      // clang-format off
      {"OLIVETTI: every line in FontA11 without its marks", kOlivetti, "A\xa7" "DBC\r\nDEF\r\n",
       {"Cassa: font FontA11|print ABC|font FontA11|print DEF"}},
      {"OLIVETTI: no job file, nothing printed", kOlivetti, std::nullopt, {}},
      {"SOLIPOS: only N:SCO:TXT: lines, in Courier New 9", kSolipos,
       "N:SCO:TXT:Grazie\r\nn:sco:txt:no\r\nNO\r\nN:SCO:TXT:\r\n",
       {"Cassa: font Courier New|size 9|print Grazie|font Courier New|size 9|print "}},
      {"SOLIPOS: no N:SCO:TXT: line, nothing printed", kSolipos, "Grazie\r\n", {}},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Outcome o = RunJob(c.model, printer, "3", Logo::kOff, c.job);
    EXPECT_EQ(o.printed, c.printed);
    EXPECT_EQ(o.left_open, "");
    EXPECT_FALSE(o.job_left);
  }
}

// On a full disk (here: the queue's and NonStampati's names taken by files) the pre-bill can be
// neither queued nor kept: its job file stays, for the intake to take again, and no line says
// it was queued. Once the disk has room, the same job is queued and goes.
TEST(PrebillRendererTest, AJobThatCanBeNeitherQueuedNorKeptStays) {
  testing::TestPlatform t;
  testing::RecordingPrintSystem system;
  system.installed = {{"Cassa", "COM3:"}};
  system.default_printer = "Cassa";
  PrintQueue queue(system, t.log, {t.folder.path(), PrintQueueOptions::Mode::kService});
  Printers printers(system, queue, t.log);
  Config cfg;
  InstalledPrinterPrebill prebill(cfg, t.regional, t.files, printers, t.dialogs, t.log);
  t.folder.Write("CortIN/job.txt", "Conto\r\n");
  const std::string job = t.InFolder("CortIN\\job.txt");
  t.folder.Write("CodaStampa", "");
  t.folder.Write("NonStampati", "");
  EXPECT_FALSE(prebill.StampaCortOlivetti(job));
  EXPECT_TRUE(t.files.Exists(job));
  EXPECT_TRUE(t.log.Contains("cannot be kept in NonStampati"));
  EXPECT_FALSE(t.log.Contains(" queued (")) << "nothing claims it was queued";
  std::filesystem::remove(t.folder / "CodaStampa");
  EXPECT_TRUE(prebill.StampaCortOlivetti(job));
  EXPECT_FALSE(t.files.Exists(job));
  queue.Stop();
}

}  // namespace
}  // namespace valico
