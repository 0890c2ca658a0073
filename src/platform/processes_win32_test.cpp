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
using testing::TestProgram;

// A native path in double quotes, as a command line carries it.
std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

struct ProcessTest {
  testing::TempFolder folder;
  PathMapper mapper{PathMapper::Options{folder.path(), {}}};
  Files files{mapper};
  testing::RecordingLog log;
  std::unique_ptr<Processes> processes = MakeProcesses(log, files, "");
};

TEST(ProcessesWin32Test, StartsTheCommandLineAsBuiltAndWaitsForTheEnd) {
  ProcessTest t;
  std::filesystem::create_directories(t.folder / "Probe Dir");
  std::string probe = t.folder / "Probe Dir/probe.exe";
  std::filesystem::copy_file(TestProgram("process_probe"), probe);
  std::string out = t.folder / "out.txt";
  std::string err;
  ProcessId pid = t.processes->Start(Quoted(probe) + " " + Quoted(out) + R"( 300 a "b c" d\"e)",
                                     WindowState::kMinimizedNoFocus, &err);
  ASSERT_NE(pid, 0) << err;
  EXPECT_FALSE(t.processes->Wait(pid, 20ms)) << "still sleeping";
  EXPECT_TRUE(t.processes->Wait(pid, -1ms));
  EXPECT_EQ(t.folder.Read("out.txt"), "a\nb c\nd\"e\n");
  EXPECT_TRUE(t.processes->Wait(pid, 0ms)) << "an ended process stays ended";
}

TEST(ProcessesWin32Test, AFailedStartReturnsZeroWithTheReason) {
  ProcessTest t;
  t.folder.Write("notes.txt", "not a program");
  for (const std::string& line :
       {std::string("  "), Quoted(t.folder / "missing.exe"), Quoted(t.folder / "notes.txt")}) {
    std::string err;
    EXPECT_EQ(t.processes->Start(line, WindowState::kHidden, &err), 0) << line;
    EXPECT_FALSE(err.empty()) << line;
  }
}

}  // namespace
}  // namespace valico
