#include "prebill/type_batch.h"

#include <gtest/gtest.h>

#include "platform/testing/test_platform.h"

namespace valico {
namespace {

using testing::TestPlatform;

// Processes whose end the test decides: a started process has ended for a wait of at least
// end_after_wait. The real batch file's ordering is tested in type_batch_posix_test.
struct ScriptedProcesses : testing::RecordingProcesses {
  ProcessId Start(const std::string& command_line, WindowState state, std::string* err) override {
    if (!fail_start) return RecordingProcesses::Start(command_line, state, err);
    *err = "not found";
    return 0;
  }
  bool Wait(ProcessId, std::chrono::milliseconds timeout) override {
    ++waits;
    return timeout >= end_after_wait;
  }
  int waits = 0;
  std::chrono::milliseconds end_after_wait{1};
  bool fail_start = false;
};

class TypeBatchTest : public ::testing::Test {
 protected:
  TypeBatchTest() { t.folder.Write("drive_c/Valico/TypeBatch/ValicoType.bat", ""); }
  std::string Job(const std::string& name, const std::string& bytes) {
    t.folder.Write("CortIN/" + name, bytes);
    return t.InFolder("CortIN\\" + name);
  }
  std::string TypeCort() const { return t.folder.Read("drive_c/Valico/TypeBatch/typeCort.txt"); }

  TestPlatform t;
  ScriptedProcesses processes;
  TypeBatchHandOff hand_off{t.files, processes, t.log, std::chrono::seconds(30)};
};

TEST_F(TypeBatchTest, AWaitThatTimesOutIsLoggedAndTheJobGoesOn) {
  hand_off.StampaCortType(Job("a.txt", "first"));
  processes.end_after_wait = std::chrono::hours(1);  // never ends within the bound
  hand_off.StampaCortType(Job("b.txt", "second"));
  EXPECT_TRUE(t.log.Contains("still running after 30000 ms; typeCort.txt is replaced anyway"));
  EXPECT_EQ(TypeCort(), "second");
  EXPECT_EQ(processes.started.size(), 2u);
}

TEST_F(TypeBatchTest, FailedCopyStartsNoBatch) {
  // No job file: the batch would only send the previous job again.
  hand_off.StampaCortType(t.InFolder("CortIN\\missing.txt"));
  EXPECT_TRUE(processes.started.empty());
  EXPECT_TRUE(t.log.Contains("the batch file is not started"));

  // A batch that does not start is logged, and the job is deleted all the same.
  processes.fail_start = true;
  std::string job = Job("a.txt", "x");
  hand_off.StampaCortType(job);
  EXPECT_TRUE(t.log.Contains("cannot start C:\\Valico\\TypeBatch\\ValicoType.bat: not found"));
  EXPECT_FALSE(t.files.Exists(job));
  processes.fail_start = false;
  hand_off.StampaCortType(Job("b.txt", "y"));
  EXPECT_EQ(processes.waits, 0) << "no process to wait for";
  ASSERT_EQ(processes.started.size(), 1u);
  EXPECT_EQ(processes.started[0].first, "C:\\Valico\\TypeBatch\\ValicoType.bat");
  EXPECT_EQ(processes.started[0].second, WindowState::kMinimizedNoFocus);
}

}  // namespace
}  // namespace valico
