#include "spool/intake.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "core/testing/test_context.h"
#include "spool/testing/recording_devices.h"

namespace valico {
namespace {

using testing::RecordingDevices;
using testing::TestContext;

class IntakeTest : public ::testing::Test {
 protected:
  std::string Drop() const { return t.ctx.InProgramFolder("Borea"); }
  std::string In() const { return t.ctx.InProgramFolder("IN"); }
  void Pass(SpoolKind tipo = SpoolKind::kFiscal) {
    intake.PrelevaSpool(Drop(), t.ctx.cfg.IniValico, In(), tipo);
  }
  size_t FilesIn(const std::string& rel) const {
    size_t n = 0;
    for (auto& e : std::filesystem::directory_iterator(t.folder / rel)) n += e.is_regular_file();
    return n;
  }

  TestContext t;
  RecordingDevices devices;
  Intake intake{t.files, t.log, t.watch, t.settings, devices};
};

TEST_F(IntakeTest, EachPassOpensItsSpoolAndOnlyTwoKindsReachADevice) {
  for (auto [kind, flag] : {std::pair{SpoolKind::kFiscal, "MF_Vuoto"},
                            {SpoolKind::kPrebill, "Cort_Vuoto"},
                            {SpoolKind::kReceipt, "RF_Vuoto"}}) {
    SCOPED_TRACE(flag);
    t.WriteValico(std::string(flag) + "=0\r\n");
    Pass(kind);
    EXPECT_TRUE(t.folder.Has("Borea") && t.folder.Has("IN")) << "missing folders are created";
    EXPECT_EQ(t.ctx.ini.LeggiINI("Varie", flag, "", t.ctx.cfg.IniValico), "-1")
        << "an empty pass opens its spool too";
  }
  // A receipt job is moved and deleted without a device.
  t.folder.Write("Borea/r.txt", "x");
  Pass(SpoolKind::kReceipt);
  EXPECT_TRUE(devices.calls.empty());
  EXPECT_EQ(FilesIn("Borea") + FilesIn("IN"), 0u);
}

// A job that cannot be moved (here an intake entry of its name is a folder) stays for a later
// pass and is not handed off; the others go on.
TEST_F(IntakeTest, AllJobsMoveBeforeTheFirstHandOffAndEachIsDeletedAfterIt) {
  for (const char* n : {"a.txt", "b.txt", "c.txt", "stuck.txt"})
    t.folder.Write(std::string("Borea/") + n, n);
  t.folder.Write("Borea/sub/inner.txt", "not a job");
  t.folder.Write("IN/c.txt", "a leftover of the same name, replaced by the job");
  std::filesystem::create_directories(t.folder / "IN/stuck.txt/blocker");
  std::vector<std::pair<size_t, size_t>> seen;  // (jobs left in Borea, jobs in IN) at each call
  std::multiset<std::string> contents;
  devices.on_job = [&](const std::string& job) {
    std::string content;
    EXPECT_TRUE(t.files.ReadAll(job, &content, nullptr));
    contents.insert(content);
    seen.push_back({FilesIn("Borea"), FilesIn("IN")});
  };
  Pass();
  ASSERT_EQ(devices.calls.size(), 3u);
  EXPECT_EQ(seen, (std::vector<std::pair<size_t, size_t>>{{1, 3}, {1, 2}, {1, 1}}));
  EXPECT_EQ(FilesIn("IN"), 0u);
  EXPECT_TRUE(t.folder.Has("Borea/sub/inner.txt")) << "subfolders are left alone";
  EXPECT_TRUE(t.folder.Has("Borea/stuck.txt"));
  EXPECT_TRUE(t.log.Contains("stuck.txt"));
  for (const std::string& c : devices.calls) EXPECT_EQ(c.rfind("MF " + In() + "\\", 0), 0u) << c;
  EXPECT_EQ(contents, (std::multiset<std::string>{"a.txt", "b.txt", "c.txt"}));
}

// However many files wait, a pass takes at most 101, and every file is taken once, in the
// order the folder lists them.
TEST_F(IntakeTest, AtMost101JobsPerPassEachOnceInTheOrderOfTheListing) {
  for (int i = 0; i < 250; ++i) t.folder.Write("Borea/j" + std::to_string(i), "x");
  std::vector<std::string> listed;
  for (auto& e : std::filesystem::directory_iterator(t.folder / "Borea"))
    listed.push_back("MF " + In() + "\\" + e.path().filename().string());
  struct {
    size_t calls, left;
    bool stopped_at_cap;
  } passes[] = {{101, 149, true}, {202, 48, true}, {250, 0, false}};
  for (const auto& p : passes) {
    Pass();
    EXPECT_EQ(devices.calls.size(), p.calls);
    EXPECT_EQ(FilesIn("Borea"), p.left);
    EXPECT_EQ(intake.stopped_at_cap(), p.stopped_at_cap);
    t.watch.quiet = true;  // no notice: the files left behind are looked at all the same
  }
  EXPECT_EQ(devices.calls, listed);
}

// Where the watch names the files that arrived, a pass takes those in the order they came,
// without a listing; one past the cap, or still being written, is looked at again by the next
// pass without being named again.
TEST_F(IntakeTest, WhatTheWatchNamesIsTakenInItsOrderWithoutAListing) {
  t.folder.Write("Borea/unnamed.txt", "no notice named it");
  t.folder.Write("Borea/growing.txt", "part");
  t.watch.writing.insert((std::filesystem::path(t.Native(Drop())) / "growing.txt").string());
  std::vector<std::string> named = {"growing.txt"}, expected;
  for (int i = 102; i >= 0; --i) {
    named.push_back("j" + std::to_string(i));
    t.folder.Write("Borea/" + named.back(), "x");
    expected.push_back("MF " + In() + "\\" + named.back());
  }
  expected.push_back("MF " + In() + "\\growing.txt");
  t.watch.arrivals = named;
  Pass();
  EXPECT_EQ(devices.calls.size(), 101u);
  EXPECT_TRUE(intake.stopped_at_cap());
  t.watch.writing.clear();
  t.watch.quiet = true;
  Pass();
  EXPECT_EQ(devices.calls, expected);
  EXPECT_TRUE(t.folder.Has("Borea/unnamed.txt"));
}

// The spool folders an earlier pass found are not looked for again while the watch follows the
// drop folder. An intake folder deleted since is made again, and the job goes in that pass; a
// drop folder the watch lost is made again by the next pass.
TEST_F(IntakeTest, ASpoolFolderDeletedSinceAnEarlierPassIsMadeAgain) {
  Pass();
  t.watch.watching.insert(t.Native(Drop()));
  Pass();
  std::filesystem::remove_all(t.folder / "IN");
  t.folder.Write("Borea/a.txt", "a");
  Pass();
  EXPECT_EQ(devices.calls, std::vector<std::string>{"MF " + In() + "\\a.txt"});
  std::filesystem::remove_all(t.folder / "Borea");
  t.watch.watching.clear();
  Pass();
  EXPECT_TRUE(t.folder.Has("Borea"));
  // A file where the intake folder should be: the job waits, and the log says so once.
  std::filesystem::remove_all(t.folder / "IN");
  t.folder.Write("IN", "not a folder");
  t.folder.Write("Borea/b.txt", "b");
  for (int pass = 0; pass < 3; ++pass) Pass();
  EXPECT_EQ(t.log.Count("cannot create"), 1);
  EXPECT_TRUE(t.folder.Has("Borea/b.txt"));
}

TEST_F(IntakeTest, AFileStillBeingWrittenWaitsUntilItIsWhole) {
  t.folder.Write("Borea/growing.txt", "part");
  t.watch.writing.insert((std::filesystem::path(t.Native(Drop())) / "growing.txt").string());
  Pass();
  Pass();
  EXPECT_TRUE(devices.calls.empty());
  t.folder.Write("Borea/growing.txt", "part and more");
  t.watch.writing.clear();
  t.watch.quiet = true;  // closed without a notice (Windows tells none): looked at all the same
  std::string content;
  devices.on_job = [&](const std::string& job) { t.files.ReadAll(job, &content, nullptr); };
  Pass();
  EXPECT_EQ(devices.calls.size(), 1u);
  EXPECT_EQ(content, "part and more");
}

// A pre-bill that could not even be kept (a full disk) is not lost: it goes back into the drop
// folder with the rest of its pass, and the spool is left alone for a while before retrying.
TEST_F(IntakeTest, JobsThatCouldNotBeDoneGoBackAndAreTakenAgainAfterAHold) {
  t.folder.Write("Borea/a.txt", "a");
  t.folder.Write("Borea/b.txt", "b");
  devices.cort_taken = false;
  Pass(SpoolKind::kPrebill);
  EXPECT_EQ(devices.calls.size(), 1u) << "the rest of the pass is not tried";
  EXPECT_EQ(FilesIn("Borea"), 2u);
  EXPECT_EQ(FilesIn("IN"), 0u);
  EXPECT_TRUE(t.log.Contains("2 job(s) could not be done and went back to"));
  for (int i = 0; i < Intake::kFirstHold; ++i) Pass(SpoolKind::kPrebill);
  EXPECT_EQ(devices.calls.size(), 1u) << "held";
  devices.cort_taken = true;
  Pass(SpoolKind::kPrebill);
  EXPECT_EQ(devices.calls.size(), 3u);
  EXPECT_EQ(FilesIn("Borea") + FilesIn("IN"), 0u);
  EXPECT_EQ(devices.prebill_passes_ended, 2) << "each pass that handed off jobs lets go";
}

// Borea dropped a new job of the same name meanwhile: the job stays, and the pass still stops.
TEST_F(IntakeTest, AJobThatCannotGoBackStaysAndStillHoldsTheRestOfThePass) {
  t.folder.Write("Borea/a.txt", "a");
  t.folder.Write("Borea/b.txt", "b");
  devices.cort_taken = false;
  devices.on_job = [&](const std::string& job) {
    t.folder.Write("Borea/" + job.substr(job.rfind('\\') + 1), "new");
  };
  Pass(SpoolKind::kPrebill);
  EXPECT_EQ(devices.calls.size(), 1u) << "the rest of the pass is not tried";
  EXPECT_EQ(FilesIn("IN"), 1u);
  EXPECT_TRUE(t.log.Contains("cannot go back to"));
  Pass(SpoolKind::kPrebill);
  EXPECT_EQ(devices.calls.size(), 1u) << "held";
}

}  // namespace
}  // namespace valico
