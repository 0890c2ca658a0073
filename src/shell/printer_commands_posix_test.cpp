#include <gtest/gtest.h>

#include <vector>

#include "platform/testing/temp_folder.h"
#include "shell/command_line.h"

namespace valico {
namespace {

struct Result {
  int status;
  std::string out, err;
};

Result RunValico(std::vector<std::string> args) {
  args.insert(args.begin(), "valico");
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  int status = RunCommandLine(static_cast<int>(argv.size()), argv.data());
  std::string err = ::testing::internal::GetCapturedStderr();
  return {status, ::testing::internal::GetCapturedStdout(), err};
}

TEST(PrinterCommandsPosixTest, PrintersListsTheDeclaredPrintersThreeLinesEach) {
  testing::TempFolder home;
  const std::string hyphens = "-------------------------------------\r\n";
  Result none = RunValico({"--home", home.path(), "printers"});
  EXPECT_EQ(none.status, 0);
  EXPECT_EQ(none.out, "") << "no _Stampanti.ini, no printers";

  home.Write("_Stampanti.ini", "[EPSON TM-U295 Slip]\r\nPorta=COM3:\r\nUscita=cups:TM-U295\r\n");
  EXPECT_EQ(RunValico({"--home", home.path(), "printers"}).out,
            "Port    > COM3:\r\nPrinter > EPSON TM-U295 Slip\r\n" + hyphens);

  home.Write("_Stampanti.ini",
             "[EPSON TM-U295 Slip]\r\nPorta=COM3:\r\nUscita=cups:TM-U295\r\n"
             "[Anteprima]\r\nPorta=Ne01:\r\n");
  EXPECT_EQ(RunValico({"--home", home.path(), "printers"}).out,
            "Port    > COM3:\r\nPrinter > EPSON TM-U295 Slip\r\n" + hyphens +
                "Port    > Ne01:\r\nPrinter > Anteprima\r\n" + hyphens);
}

TEST(PrinterCommandsPosixTest, PrintTestPrintsOnTheDefaultPrinterOrTheOneNamed) {
  testing::TempFolder home;
  home.Write("rotolo.bin", "");
  home.Write("_Stampanti.ini",
             "[Anteprima]\nPorta=Ne01:\nUscita=anteprima:Anteprime\n"
             "[Rotolo]\nPorta=COM4:\nUscita=escpos:rotolo.bin\nPredefinita=-1\n");

  Result r = RunValico({"--home", home.path(), "print-test"});
  EXPECT_EQ(r.status, 0) << r.err;
  std::string bytes = home.Read("rotolo.bin");
  EXPECT_EQ(bytes.substr(0, 5), "\x1b@\x1bt\x10");
  EXPECT_NE(bytes.find("\x1dk\x43\x0d"
                       "8001234567897"),
            std::string::npos)
      << "the EAN-13";
  EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string("\x1dVB\0", 4)) << "the cut last";

  EXPECT_EQ(RunValico({"--home", home.path(), "print-test", "--printer", "Anteprima"}).status, 0);
  EXPECT_TRUE(home.Has("Anteprime/0001-Anteprima.png"));

  r = RunValico({"--home", home.path(), "print-test", "--printer", "Nessuna"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Errore: printer \"Nessuna\" is not installed"), std::string::npos);
}

}  // namespace
}  // namespace valico
