#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/folder_watch.h"
#include "platform/testing/recording_log.h"
#include "platform/testing/temp_folder.h"

namespace valico {
namespace {

namespace fs = std::filesystem;

// More notices than the kernel queues: the jobs whose notices were lost are judged by age.
TEST(FolderWatchPosixTest, AnOverflowedQueueFallsBackToTheAgeOfEachFile) {
  testing::TempFolder home;
  testing::RecordingLog log;
  std::string drop = home / "Borea";
  fs::create_directories(drop);
  auto watch = MakeFolderWatch(log);
  watch->Follow(drop);
  watch->TakeChange(drop);
  home.Write("staging/job.txt", "job");
  fs::rename(home / "staging/job.txt", drop + "/job.txt");

  int queued = 16384;
  std::ifstream("/proc/sys/fs/inotify/max_queued_events") >> queued;
  // Each open and close of a file is two notices; alternating between two files keeps the
  // kernel from folding them together.
  home.Write("Borea/a", "");
  home.Write("Borea/b", "");
  for (int i = 0; i <= queued / 2; ++i)
    ::close(::open((drop + (i % 2 ? "/a" : "/b")).c_str(), O_RDONLY));

  EXPECT_TRUE(watch->Poll());
  EXPECT_TRUE(log.Contains("notices were lost"));
  EXPECT_TRUE(watch->TakeChange(drop)) << "the folder is listed again";
  fs::last_write_time(drop + "/job.txt",
                      fs::file_time_type::clock::now());  // however slow the flood
  EXPECT_FALSE(watch->IsWhole(drop + "/job.txt")) << "its move was lost: judged by age";
  fs::last_write_time(drop + "/job.txt",
                      fs::last_write_time(drop + "/job.txt") - std::chrono::seconds(1));
  EXPECT_TRUE(watch->IsWhole(drop + "/job.txt"));
}

}  // namespace
}  // namespace valico
