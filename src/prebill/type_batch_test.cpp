#include "prebill/type_batch.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/testing/test_context.h"

namespace valico {
namespace {

using testing::TestContext;

// Processes whose end the test decides: a started process runs until the test lets it end,
// or until a wait long enough for it (end_after_wait) comes.
class ScriptedProcesses : public Processes {
 public:
  ProcessId Start(const std::string& command_line, WindowState state, std::string* err) override {
    if (fail_start) {
      if (err) *err = "not found";
      return 0;
    }
    started.push_back({command_line, state});
    ProcessId pid = 100 + static_cast<ProcessId>(started.size());
    running.insert(pid);
    return pid;
  }
  bool Wait(ProcessId pid, std::chrono::milliseconds timeout) override {
    waits.push_back({pid, timeout});
    if (running.count(pid) && timeout >= end_after_wait) running.erase(pid);
    return !running.count(pid);
  }
  std::vector<std::pair<std::string, WindowState>> started;
  std::vector<std::pair<ProcessId, std::chrono::milliseconds>> waits;
  std::set<ProcessId> running;
  std::chrono::milliseconds end_after_wait{1};
  bool fail_start = false;
};

class TypeBatchTest : public ::testing::Test {
 protected:
  TypeBatchTest()
      : ctx(Services{t.files, t.clock, t.log, t.dialogs, processes, t.serial, t.ftp,
                     RegionalFor("it_IT")},
            t.folder.path()) {
    t.folder.Write("drive_c/Valico/TypeBatch/ValicoType.bat", "");
  }
  std::string Job(const std::string& name, const std::string& bytes) {
    t.folder.Write("CortIN/" + name, bytes);
    return ctx.InProgramFolder("CortIN\\" + name);
  }
  std::string TypeCort() const { return t.folder.Read("drive_c/Valico/TypeBatch/typeCort.txt"); }

  TestContext t;
  ScriptedProcesses processes;
  Context ctx;
  TypeBatchHandOff hand_off{std::chrono::seconds(30)};
};

TEST_F(TypeBatchTest, NextJobWaitsForThePreviousBatch) {
  hand_off.StampaCortType(ctx, Job("a.txt", "first"));
  EXPECT_TRUE(processes.waits.empty()) << "nothing to wait for before the first job";
  // The first batch still runs; a long enough wait sees it end.
  processes.end_after_wait = std::chrono::seconds(1);
  hand_off.StampaCortType(ctx, Job("b.txt", "second"));
  ASSERT_EQ(processes.waits.size(), 2u);
  EXPECT_EQ(processes.waits[0], std::make_pair(ProcessId{101}, std::chrono::milliseconds(0)));
  EXPECT_EQ(processes.waits[1], std::make_pair(ProcessId{101}, std::chrono::milliseconds(30000)));
  EXPECT_TRUE(t.log.Contains("waiting for the batch file of the previous job (process 101)"));
  EXPECT_TRUE(t.log.Contains("the previous batch file has ended"));
  EXPECT_EQ(TypeCort(), "second");

  // A batch that already ended costs no wait and no log line.
  processes.running.clear();
  size_t lines = t.log.lines().size();
  hand_off.StampaCortType(ctx, Job("c.txt", "third"));
  EXPECT_EQ(processes.waits.size(), 3u);
  EXPECT_EQ(t.log.lines().size(), lines);
}

TEST_F(TypeBatchTest, AWaitThatTimesOutIsLoggedAndTheJobGoesOn) {
  hand_off.StampaCortType(ctx, Job("a.txt", "first"));
  processes.end_after_wait = std::chrono::hours(1);  // never ends within the bound
  hand_off.StampaCortType(ctx, Job("b.txt", "second"));
  EXPECT_TRUE(t.log.Contains("still running after 30000 ms; typeCort.txt is replaced anyway"));
  EXPECT_EQ(TypeCort(), "second");
  EXPECT_EQ(processes.started.size(), 2u);
}

TEST_F(TypeBatchTest, FailedCopyStartsNoBatch) {
  // No job file: the batch would only send the previous job again.
  hand_off.StampaCortType(ctx, ctx.InProgramFolder("CortIN\\missing.txt"));
  EXPECT_TRUE(processes.started.empty());
  EXPECT_TRUE(t.log.Contains("the batch file is not started"));

  // A batch that does not start is logged, and the job is deleted all the same.
  processes.fail_start = true;
  std::string job = Job("a.txt", "x");
  hand_off.StampaCortType(ctx, job);
  EXPECT_TRUE(t.log.Contains("cannot start C:\\Valico\\TypeBatch\\ValicoType.bat: not found"));
  EXPECT_FALSE(t.files.Exists(job));
  processes.fail_start = false;
  hand_off.StampaCortType(ctx, Job("b.txt", "y"));
  EXPECT_TRUE(processes.waits.empty()) << "no process to wait for";
}

}  // namespace
}  // namespace valico
