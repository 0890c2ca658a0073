// The TYPE SU SERIALE hand-off with a real batch file, run by /bin/sh as on an installation.
#include <gtest/gtest.h>

#include "platform/testing/test_platform.h"
#include "platform/testing/wait_for.h"
#include "prebill/type_batch.h"

namespace valico {
namespace {

using testing::TestPlatform;

TEST(TypeBatchPosixTest, TwoJobsInOnePassReachTheBatchWholeAndInOrder) {
  TestPlatform t;
  std::unique_ptr<Processes> processes = MakeProcesses(t.log, t.files, "wine");
  // The installation's batch file takes a moment, as a copy to a slow serial port would,
  // before it reads typeCort.txt; a job that replaced the file meanwhile would be lost.
  t.folder.Write("drive_c/Valico/TypeBatch/ValicoType.bat",
                 "d=$(dirname \"$0\")\n"
                 "sleep 0.3\n"
                 "cat \"$d/typeCort.txt\" >> \"$d/printed.txt\"\n"
                 "printf '|' >> \"$d/printed.txt\"\n");
  t.folder.Write("CortIN/a.txt", "N2:01:Tavolo 5\r\nN2:01:Totale 12,00\r\n");
  t.folder.Write("CortIN/b.txt", "N2:01:Tavolo 6\r\n");

  TypeBatchHandOff hand_off(t.files, *processes, t.log);
  hand_off.StampaCortType(t.InFolder("CortIN\\a.txt"));
  hand_off.StampaCortType(t.InFolder("CortIN\\b.txt"));
  EXPECT_TRUE(t.log.Contains("waiting for the batch file of the previous job"));

  // The second batch file runs on its own; give it a bounded time to finish.
  const std::string expected = "N2:01:Tavolo 5\r\nN2:01:Totale 12,00\r\n|N2:01:Tavolo 6\r\n|";
  std::string printed;
  testing::WaitFor(
      [&] {
        printed = t.folder.Read("drive_c/Valico/TypeBatch/printed.txt");
        return printed.size() >= expected.size();
      },
      std::chrono::seconds(10));
  EXPECT_EQ(printed, expected);
  EXPECT_FALSE(t.folder.Has("CortIN/a.txt"));
  EXPECT_FALSE(t.folder.Has("CortIN/b.txt"));
}

}  // namespace
}  // namespace valico
