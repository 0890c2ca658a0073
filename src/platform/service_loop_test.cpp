#include "platform/service_loop.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/folder_watch.h"
#include "platform/testing/recording_log.h"
#include "platform/testing/temp_folder.h"

namespace valico {
namespace {

using namespace std::chrono_literals;

// With a cadence of an hour, only a wake and a backlog can run these ticks: the loop
// returning at all is the proof.
TEST(ServiceLoopTest, AJobMovedInStartsAPassAtOnceAndABacklogTheNext) {
  testing::TempFolder home;
  testing::RecordingLog log;
  std::string drop = home / "Borea";
  std::filesystem::create_directories(drop);
  auto watch = MakeFolderWatch(log);
  watch->Follow(drop);
  home.Write("job.txt", "N2:01:Tavolo 5\r\n");
  std::filesystem::rename(home / "job.txt", drop + "/job.txt");
  std::vector<bool> whole;
  RunServiceLoop(
      1h, 2,
      [&] {
        whole.push_back(watch->IsWhole(drop + "/job.txt"));
        return whole.size() == 1;  // as if the first pass had stopped at its limit
      },
      WakeSource{watch->WaitHandle(), [&] { return watch->Poll(); }});
  EXPECT_EQ(whole, (std::vector<bool>{true, true}));
}

}  // namespace
}  // namespace valico
