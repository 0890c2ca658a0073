#include <gtest/gtest.h>

#include <filesystem>

#include "platform/files.h"
#include "platform/processes.h"
#include "platform/testing/recording_log.h"
#include "platform/testing/temp_folder.h"
#include "platform/testing/test_programs.h"

namespace valico {
namespace {

using namespace std::chrono_literals;

using testing::Quoted;

TEST(ProcessesWin32Test, StartsTheCommandLineAsBuiltWaitsForTheEndOrReportsTheFailure) {
  testing::TempFolder folder;
  PathMapper mapper{PathMapper::Options{folder.path(), {}}};
  Files files{mapper};
  testing::RecordingLog log;
  std::unique_ptr<Processes> processes = MakeProcesses(log, files, "");
  std::filesystem::create_directories(folder / "Probe Dir");
  std::string probe = folder / "Probe Dir/probe.exe";
  std::filesystem::copy_file(testing::TestProgram("process_probe"), probe);
  std::string err;
  ProcessId pid =
      processes->Start(Quoted(probe) + " " + Quoted(folder / "out.txt") + R"( 300 a "b c" d\"e)",
                       WindowState::kMinimizedNoFocus, &err);
  ASSERT_NE(pid, 0) << err;
  EXPECT_FALSE(processes->Wait(pid, 20ms)) << "still sleeping";
  EXPECT_TRUE(processes->Wait(pid, -1ms));
  EXPECT_EQ(folder.Read("out.txt"), "a\nb c\nd\"e\n");
  EXPECT_TRUE(processes->Wait(pid, 0ms)) << "an ended process stays ended";

  folder.Write("notes.txt", "not a program");
  for (const std::string& line :
       {std::string("  "), Quoted(folder / "missing.exe"), Quoted(folder / "notes.txt")}) {
    err.clear();
    EXPECT_EQ(processes->Start(line, WindowState::kHidden, &err), 0) << line;
    EXPECT_FALSE(err.empty()) << line;
  }
}

}  // namespace
}  // namespace valico
