#include "shell/command_line.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/testing/loopback_port.h"
#include "platform/testing/temp_folder.h"

namespace valico {
namespace {

struct Result {
  int status;
  std::string out;
};

Result RunValico(std::vector<std::string> args) {
  args.insert(args.begin(), "valico");
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  ::testing::internal::CaptureStdout();
  int status = RunCommandLine(static_cast<int>(argv.size()), argv.data());
  return {status, ::testing::internal::GetCapturedStdout()};
}

TEST(CommandLineTest, IniCommandsReadAndWriteAsTheStoreDoes) {
  testing::TempFolder dir;
  std::string f = dir / "a.ini";
  EXPECT_EQ(RunValico({"ini", "set", f, "Varie", "Ritardo", "12,5"}).status, 0);
  EXPECT_EQ(RunValico({"ini", "set", f, "Altro", "k", "v"}).status, 0);
  EXPECT_EQ(dir.Read("a.ini"), "[Varie]\r\nRitardo=12,5\r\n[Altro]\r\nk=v\r\n");
  EXPECT_EQ(RunValico({"ini", "get", f, "VARIE", "ritardo"}).out, "12,5\n");
  EXPECT_EQ(RunValico({"ini", "get", f, "Varie", "missing", "def"}).out, "def\n");
  EXPECT_EQ(RunValico({"--locale", "it_IT", "ini", "typed", f, "Ritardo"}).out, "number 12.5\n");
  EXPECT_EQ(RunValico({"--locale", "C", "ini", "typed", f, "Ritardo"}).out, "number 125\n");
  EXPECT_EQ(RunValico({"ini", "typed", f, "missing"}).out, "text \n");
  EXPECT_EQ(RunValico({"ini", "set", f, "Altro", "", "ignored"}).status, 0);
  EXPECT_EQ(dir.Read("a.ini"), "[Varie]\r\nRitardo=12,5\r\n");
  EXPECT_EQ(RunValico({"ini", "set", dir / "missing/dir/b.ini", "S", "k", "v"}).status, 1);
  EXPECT_NE(RunValico({"--drive", "CC=/x", "ini", "get", f, "S", "k"}).status, 0);
}

TEST(CommandLineTest, VersionIsOneLine) {
  Result r = RunValico({"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "valico " VALICO_VERSION "\n");
}

// The test print at the far end of a real serial line, with the settings _Valico.ini gives.
TEST(CommandLineTest, PrebillTestPrintsWithTheLoadedSettings) {
  std::string why;
  auto far = testing::LoopbackPort::Create(&why);
  if (!far) GTEST_SKIP() << "no serial line to test with: " << why;
  testing::TempFolder home;
  home.Write("_Valico.ini",
             "[Varie]\r\nCort_Printer=DPT-282\r\nCort_COM=5\r\nCort_Sett=4800,E,7,1\r\n");
  home.Write("CortBorea/pending.txt", "N2:01:x\r\n");
  EXPECT_EQ(
      RunValico({"--home", home.path(), "--com", "5=" + far->device(), "prebill-test"}).status, 0);
  std::string expected = "ambaraBA CICI COCO TRE CIVETTE \r\n \r\n \r\n \r\n \r\n\x1bm";
  EXPECT_EQ(far->Read(expected.size()), expected);
  EXPECT_TRUE(home.Has("CortBorea/pending.txt")) << "a running service's spool is left alone";
  EXPECT_EQ(
      RunValico({"--home", home.path(), "--com", "5=" + home / "no-such-port", "prebill-test"})
          .status,
      1);
}

}  // namespace
}  // namespace valico
