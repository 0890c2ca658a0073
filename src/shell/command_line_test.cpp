#include "shell/command_line.h"

#include <gtest/gtest.h>

#include <vector>

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

}  // namespace
}  // namespace valico
