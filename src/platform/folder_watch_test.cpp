#include "platform/folder_watch.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/files.h"
#include "platform/processes.h"
#include "platform/testing/recording_log.h"
#include "platform/testing/temp_folder.h"
#include "platform/testing/test_programs.h"
#include "platform/testing/wait_for.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#endif

namespace valico {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Real notices from the system (inotify; ReadDirectoryChangesW under Wine, which delivers
// them a moment later: hence the waits).
class FolderWatchTest : public ::testing::Test {
 protected:
  std::string Drop(const std::string& name = "") const {
    return name.empty() ? (fs::path(home.path()) / "Borea").string()
                        : (fs::path(home.path()) / "Borea" / name).string();
  }
  // Writes a job beside the drop folder and moves it in, whole.
  void MoveIn(const std::string& name) {
    home.Write("staging/" + name, "job");
    fs::rename(home / ("staging/" + name), Drop(name));
  }
  bool Woken() {
    return testing::WaitFor([&] { return watch->Poll(); }, 5s);
  }
  static void MakeOld(const std::string& path) {
    fs::last_write_time(path, fs::last_write_time(path) - 1h);
  }

  testing::TempFolder home;
  testing::RecordingLog log;
  std::unique_ptr<FolderWatch> watch = MakeFolderWatch(log);
};

TEST_F(FolderWatchTest, AMovedInJobIsWholeAtOnceAndFilesFromBeforeGoByAge) {
  home.Write("Borea/before.txt", "there before the watch");
  watch->Follow(Drop());
  EXPECT_TRUE(watch->TakeChange(Drop())) << "the first look lists the folder";
  EXPECT_FALSE(watch->IsWhole(Drop("before.txt"))) << "just written, nothing known of it";
  MakeOld(Drop("before.txt"));
  EXPECT_TRUE(watch->IsWhole(Drop("before.txt")));

  EXPECT_FALSE(watch->TakeChange(Drop())) << "nothing happened";
  MoveIn("job.txt");
  ASSERT_TRUE(Woken()) << "a job moved in starts a pass";
  EXPECT_TRUE(watch->TakeChange(Drop()));
  EXPECT_TRUE(watch->IsWhole(Drop("job.txt")));
}

// The files that arrived, in the order they came and once each, so that a pass need not list
// the folder; nothing where the notices cannot tell. A file created by a writer that holds it
// arrives at its close.
TEST_F(FolderWatchTest, ItNamesTheFilesThatArrivedInTheirOrderOnceEach) {
  fs::create_directories(Drop());
  watch->Follow(Drop());
  EXPECT_FALSE(watch->TakeArrivals(Drop())) << "the first look lists the folder";
  MoveIn("b.txt");
  home.Write("Borea/a.txt", "written in place");
  home.Write("Borea/a.txt", "and again");
  MoveIn("gone.txt");
  fs::remove(Drop("gone.txt"));
  ASSERT_TRUE(Woken());
#ifdef _WIN32
  EXPECT_FALSE(watch->TakeArrivals(Drop())) << "its notices may give a file's short name";
#else
  EXPECT_EQ(watch->TakeArrivals(Drop()), (std::vector<std::string>{"b.txt", "a.txt"}));
  EXPECT_EQ(watch->TakeArrivals(Drop()), std::vector<std::string>{});
  // A file its writer created and still holds arrives, and wakes a pass, when it closes it.
  int held = ::open(Drop("held.txt").c_str(), O_CREAT | O_WRONLY, 0644);
  ASSERT_GE(held, 0);
  EXPECT_FALSE(watch->Poll());
  ::close(held);
  ASSERT_TRUE(Woken());
  EXPECT_EQ(watch->TakeArrivals(Drop()), std::vector<std::string>{"held.txt"});
#endif
}

// A writer that pauses between pieces longer than the age that takes a file nothing is known
// of: never whole before it closes, whether the watch saw it open the file or it was writing
// already when the watch began (a job being written while Valico starts).
TEST_F(FolderWatchTest, AWriterThatPausesIsNeverTakenBeforeItCloses) {
  fs::create_directories(Drop());
  PathMapper mapper({home.path(), {}});
  Files files(mapper);
  std::unique_ptr<Processes> processes = MakeProcesses(log, files, "wine");
  // Whole means all three pieces: the writer closes the file just before it ends.
  const std::string all = "N2:01:unoN2:01:dueN2:01:tre";
  for (const char* name : {"opened-after-the-start.txt", "opened-before-the-start.txt"}) {
    SCOPED_TRACE(name);
    const bool before = std::string(name).find("before") != std::string::npos;
    watch = MakeFolderWatch(log);
    if (!before) watch->Follow(Drop());
    std::string err;
    ProcessId writer = processes->Start("\"" + testing::TestProgram("slow_writer") + "\" \"" +
                                            Drop(name) + "\" 1200 N2:01:uno N2:01:due N2:01:tre",
                                        WindowState::kHidden, &err);
    ASSERT_NE(writer, 0) << err;
    if (before) {
      ASSERT_TRUE(testing::WaitFor(
          [&] { return fs::exists(Drop(name)) && fs::file_size(Drop(name)) > 0; }, 5s));
      watch->Follow(Drop());
    }
    int waiting = 0;
    while (!processes->Wait(writer, 100ms)) {
      watch->Poll();
      if (!fs::exists(Drop(name))) continue;
      if (!watch->IsWhole(Drop(name))) {
        ++waiting;
      } else {
        EXPECT_EQ(home.Read("Borea/" + std::string(name)), all) << "taken half-written";
      }
    }
    // Judged not whole at every look while it was open (a look that judged it whole read all
    // three pieces, above); how many looks fit in the pauses depends on the machine's load.
    EXPECT_GT(waiting, 1) << "left alone while it was being written";
    ASSERT_TRUE(testing::WaitFor([&] { return watch->Poll() || watch->IsWhole(Drop(name)); }, 5s));
    EXPECT_TRUE(watch->IsWhole(Drop(name)));
  }
}

// (Wine keeps a folder that is being watched until the watch lets go of it, so there it never
// really goes; Windows itself reports it as on its way out, and Linux as gone.)
TEST_F(FolderWatchTest, TheWatchSurvivesTheFolderBeingDeletedAndCreatedAgain) {
  fs::create_directories(Drop());
  watch->Follow(Drop());
  watch->TakeChange(Drop());
  EXPECT_TRUE(watch->Watching(Drop()));
  fs::remove_all(Drop());
  watch->Poll();
#ifndef _WIN32
  EXPECT_FALSE(watch->Watching(Drop())) << "a pass must look for the folder again";
#endif
  fs::create_directories(Drop());
  watch->Poll();
  EXPECT_TRUE(watch->Watching(Drop()));
  MoveIn("after.txt");
  ASSERT_TRUE(Woken());
  EXPECT_TRUE(watch->TakeChange(Drop()));
  EXPECT_TRUE(watch->IsWhole(Drop("after.txt"))) << "known from its notice, not by age";
}

TEST_F(FolderWatchTest, AFollowedFileWakesOnlyForItsOwnName) {
  home.Write("Valico/other.log", "");
  std::string display = (fs::path(home.path()) / "Valico" / "Display.txt").string();
  watch->FollowFile(display);
  watch->TakeChange(display);
  home.Write("Valico/other.log", "a line of a log");
  home.Write("Valico/DISPLAY.TXT", "CAFFE 1,20");
  ASSERT_TRUE(Woken());
  EXPECT_TRUE(watch->TakeChange(display)) << "names are matched without regard to case";
  EXPECT_FALSE(watch->TakeChange(display));
  home.Write("Valico/other.log", "another line");
  EXPECT_FALSE(testing::WaitFor([&] { return watch->Poll(); }, 300ms)) << "not its name";
}

#ifndef _WIN32
// More notices than the kernel queues: the jobs whose notices were lost are judged by age.
TEST_F(FolderWatchTest, AnOverflowedQueueFallsBackToTheAgeOfEachFile) {
  fs::create_directories(Drop());
  watch->Follow(Drop());
  watch->TakeChange(Drop());
  MoveIn("job.txt");
  int queued = 16384;
  std::ifstream("/proc/sys/fs/inotify/max_queued_events") >> queued;
  // Each open and close of a file is two notices; alternating between two files keeps the
  // kernel from folding them together.
  home.Write("Borea/a", "");
  home.Write("Borea/b", "");
  for (int i = 0; i <= queued / 2; ++i) ::close(::open(Drop(i % 2 ? "a" : "b").c_str(), O_RDONLY));

  EXPECT_TRUE(watch->Poll());
  EXPECT_TRUE(log.Contains("notices were lost"));
  EXPECT_TRUE(watch->TakeChange(Drop())) << "the folder is listed again";
  EXPECT_FALSE(watch->TakeArrivals(Drop())) << "the watch cannot name what arrived";
  fs::last_write_time(Drop("job.txt"), fs::file_time_type::clock::now());  // however slow
  EXPECT_FALSE(watch->IsWhole(Drop("job.txt"))) << "its move was lost: judged by age";
  fs::last_write_time(Drop("job.txt"), fs::last_write_time(Drop("job.txt")) - 1s);
  EXPECT_TRUE(watch->IsWhole(Drop("job.txt")));
}
#endif

}  // namespace
}  // namespace valico
