// Receipt forms on Windows: the start-up and the polling cycle print a receipt job through the
// spooler and GDI on a printer installed in the Wine prefix.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>

#include "platform/testing/test_platform.h"
#include "platform/testing/wine_printer_win32.h"
#include "shell/devices.h"
#include "shell/startup.h"
#include "spool/polling_cycle.h"

namespace valico {
namespace {

std::string Job(int lines) {
  std::string job = "I1 Trattoria\r\n";
  for (int k = 1; k <= lines; ++k) job += "RR Riga " + std::to_string(k) + "\r\n";
  return job;
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(ReceiptFormsWin32Test, AJobPrintsThroughGdiOnTheInstalledPrinterAndIsDeleted) {
  testing::WinePrinter printer{kRfTmL90, "COM3:"};
  ASSERT_EQ(printer.error(), "");
  testing::TestPlatform t;
  testing::TempFolder jobs;
  PrintSystemOptions options;
  options.log = &t.log;
  options.print_to_folder = jobs.path();
  std::unique_ptr<PrintSystem> system = MakePrintSystem(options);
  // Pages go out at once, as in the other tests of a context: the print queue's delivery
  // through GDI has its own test.
  Context ctx(Services{t.files, t.clock, t.watch, t.log, t.dialogs, t.processes, t.serial, t.ftp,
                       *system, t.regional},
              t.folder.path(), PrintQueueOptions::Mode::kDirect);
  t.WriteValico(
      "Borea_Setting=0\r\nRF_Active=-1\r\nRF_Stampante=EPSON TM-L90 Receipt\r\nRF_Seriale=3\r\n"
      "RF_File=C:\\Borea\\rf.txt\r\n");
  t.folder.Write("drive_c/Borea/rf.txt", Job(24));

  StartUp(ctx);
  EXPECT_EQ(ctx.form.Get(controls::RF_Printer).text, kRfTmL90) << "the spooler's printer";
  ValicoDevices devices(ctx);
  IniSnapshot settings(ctx.ini, t.files, ctx.cfg.IniValico);
  PollingCycle cycle(t.files, t.log, t.watch, settings, ctx.cfg, devices);
  cycle.Timer1_Timer();  // the context delivers at once

  EXPECT_FALSE(t.folder.Has("drive_c/Borea/rf.txt"));
  ASSERT_EQ(FilesIn(jobs.path()), (std::vector<std::string>{"000001 EPSON TM-L90 Receipt.prn",
                                                            "000002 EPSON TM-L90 Receipt.prn"}));
  std::string page2 = testing::WinePostScriptText(jobs.Read("000002 EPSON TM-L90 Receipt.prn"));
  EXPECT_NE(page2.find("Trattoria"), std::string::npos) << page2;
  EXPECT_NE(page2.find("Riga 24"), std::string::npos) << page2;
}

}  // namespace
}  // namespace valico
