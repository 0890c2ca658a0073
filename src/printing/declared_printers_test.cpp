#include "printing/declared_printers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "platform/testing/recording_log.h"
#include "platform/testing/temp_folder.h"
#include "settings/ini_store.h"

namespace valico {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

class DeclaredPrintersTest : public ::testing::Test {
 protected:
  // Writes the file; `settled`: its time stamps put an hour back, as a file nobody touched
  // lately (a fresher one is read at every call, as its stamps could not show the next change).
  void Write(const std::string& text, bool settled = true) {
    folder.Write(DeclaredPrinters::kFileName, text);
    fs::path p = printers.path();
    if (settled) fs::last_write_time(p, fs::last_write_time(p) - std::chrono::hours(1));
  }
  std::string Devices() {
    std::string out;
    for (const PrinterDeclaration& d : printers.Current()->printers()) out += d.info.device + ";";
    return out;
  }

  testing::TempFolder folder;
  testing::RecordingLog log;
  DeclaredPrinters printers{folder.path(), &log};
};

TEST_F(DeclaredPrintersTest, ReadsTheFileAgainOnlyWhenItChanged) {
  EXPECT_EQ(Devices(), "");
  EXPECT_EQ(Devices(), "");
  const std::string two =
      "[A]\r\nUscita=escpos:x\r\nDpi=1\r\n[B]\r\nPredefinita=-1\r\nUscita=cups:q\r\n";
  Write(two);
  auto first = printers.Current();
  EXPECT_EQ(Devices(), "A;B;");
  EXPECT_EQ(first->Default(), first->Find("B"));
  EXPECT_EQ(first->Find("b"), nullptr) << "a device name is found exactly";
  const long reads = printers.reads();
  EXPECT_EQ(printers.Current(), first) << "unchanged: the same printers, the file not read";
  EXPECT_EQ(printers.reads(), reads);

  Write(two, false);  // written again with the same text: read, its problems not logged again
  EXPECT_EQ(printers.Current(), first);
  EXPECT_GT(printers.reads(), reads);
  Write("[C]\r\nUscita=escpos:y\r\n");
  EXPECT_EQ(Devices(), "C;");
  EXPECT_EQ(first->printers().size(), 2u) << "a set already handed out stays as it was";
  fs::remove(printers.path());
  EXPECT_EQ(Devices(), "");
  EXPECT_EQ(log.lines(),
            (Lines{printers.path() + " is missing: no printers are installed",
                   "_Stampanti.ini [A] Dpi=1 is not a number from 60 to 600: 180 is used",
                   printers.path() + " is missing: no printers are installed"}));
}

TEST_F(DeclaredPrintersTest, AFileTooLargeOrAFolderDeclaresNoPrintersWithOneLine) {
  // Fresh stamps: read at every call, and still logged once.
  Write("[A]\r\nUscita=escpos:x\r\n" + std::string(IniStore::kMaxFileBytes, ';'), false);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Devices(), "");
  fs::remove(printers.path());
  fs::create_directory(printers.path());
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Devices(), "");
  Lines lines = log.lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "not reading " + printers.path() +
                          ": larger than 1048576 bytes: " + "no printers are installed");
  EXPECT_NE(lines[1].find("a folder"), std::string::npos) << lines[1];
}

TEST_F(DeclaredPrintersTest, ThreadsShareTheLoaderWhileTheFileChanges) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 3; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 300; ++i) {
        auto set = printers.Current();
        const PrinterDeclaration* d = set->Default();
        if (d) {
          EXPECT_EQ(set->Find(d->info.device), d);
        }
      }
    });
  }
  for (int i = 0; i < 50; ++i)
    Write("[P" + std::to_string(i) + "]\r\nPredefinita=-1\r\nUscita=escpos:x\r\n", false);
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(Devices(), "P49;");
}

}  // namespace
}  // namespace valico
