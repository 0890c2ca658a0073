// The TYPE SU SERIALE hand-off with a real batch file, run by the command interpreter.
#include <gtest/gtest.h>

#include <thread>

#include "platform/testing/test_context.h"
#include "platform/testing/test_programs.h"
#include "prebill/type_batch.h"

namespace valico {
namespace {

using testing::TestContext;

TEST(TypeBatchWin32Test, TwoJobsInOnePassReachTheBatchWholeAndInOrder) {
  TestContext t;
  std::unique_ptr<Processes> processes = MakeProcesses(t.log, t.files, "");
  Context ctx(Services{t.files, t.clock, t.log, t.dialogs, *processes, t.serial, t.ftp,
                       RegionalFor("it_IT")},
              t.folder.path());
  // The installation's batch file takes a moment (the probe sleeps), as a copy to a slow
  // serial port would, before it reads typeCort.txt.
  t.folder.Write("drive_c/Valico/TypeBatch/ValicoType.bat",
                 "@echo off\r\n\"" + testing::TestProgram("process_probe") +
                     "\" \"%~dp0delay.txt\" 300\r\n"
                     "type \"%~dp0typeCort.txt\" >> \"%~dp0printed.txt\"\r\n");
  t.folder.Write("CortIN/a.txt", "N2:01:Tavolo 5\r\nN2:01:Totale 12,00\r\n");
  t.folder.Write("CortIN/b.txt", "N2:01:Tavolo 6\r\n");

  TypeBatchHandOff hand_off;
  hand_off.StampaCortType(ctx, ctx.InProgramFolder("CortIN\\a.txt"));
  hand_off.StampaCortType(ctx, ctx.InProgramFolder("CortIN\\b.txt"));
  EXPECT_TRUE(t.log.Contains("waiting for the batch file of the previous job"));

  // The second batch file runs on its own; give it a bounded time to finish.
  const std::string expected = "N2:01:Tavolo 5\r\nN2:01:Totale 12,00\r\nN2:01:Tavolo 6\r\n";
  std::string printed;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() < deadline) {
    printed = t.folder.Read("drive_c/Valico/TypeBatch/printed.txt");
    if (printed.size() >= expected.size()) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_EQ(printed, expected);
  EXPECT_FALSE(t.folder.Has("CortIN/a.txt"));
  EXPECT_FALSE(t.folder.Has("CortIN/b.txt"));
}

}  // namespace
}  // namespace valico
