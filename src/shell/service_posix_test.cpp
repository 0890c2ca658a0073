#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "platform/testing/temp_folder.h"
#include "platform/testing/wait_for.h"

extern char** environ;

namespace valico {
namespace {

using namespace std::chrono_literals;

std::string ValicoBinary() {
  const char* dir = std::getenv("VALICO_TEST_BIN_DIR");
  return std::string(dir ? dir : ".") + "/valico";
}

using testing::WaitFor;

// The real program, in real time: it starts, takes a pre-bill job, holds the spool while its
// flag is "0", and stops cleanly on SIGTERM.
TEST(ServiceTest, RunsTakesJobsAndStopsOnSigterm) {
  testing::TempFolder home;
  home.Write("_Valico.ini", "[Varie]\r\nCort_Active=-1\r\n");
  std::string bin = ValicoBinary();
  std::string home_arg = home.path();
  std::vector<char*> argv = {bin.data(), const_cast<char*>("--home"), home_arg.data(),
                             const_cast<char*>("run"), nullptr};
  pid_t pid;
  ASSERT_EQ(posix_spawn(&pid, bin.c_str(), nullptr, nullptr, argv.data(), environ), 0);

  ASSERT_TRUE(WaitFor([&] { return home.Has("CortBorea") && home.Has("IN"); }, 5s));
  home.Write("CortBorea/job.txt", "N2:01:Tavolo 5\r\n");
  EXPECT_TRUE(WaitFor([&] { return !home.Has("CortBorea/job.txt"); }, 3s));

  // Hold the pre-bill spool. A pass that was running while the flag was written opens the
  // spool again at its end, as Borea would see too: write the flag until it stays.
  for (int attempt = 0; attempt < 5; ++attempt) {
    std::string ini = home.Read("_Valico.ini");
    size_t at = ini.find("Cort_Vuoto=-1");
    if (at == std::string::npos) break;
    home.Write("_Valico.ini", ini.replace(at, 13, "Cort_Vuoto=0"));
    std::this_thread::sleep_for(600ms);
  }
  ASSERT_NE(home.Read("_Valico.ini").find("Cort_Vuoto=0"), std::string::npos);
  home.Write("CortBorea/held.txt", "x");
  std::this_thread::sleep_for(1500ms);
  EXPECT_TRUE(home.Has("CortBorea/held.txt")) << "a spool flag of 0 holds the pass off";

  ASSERT_EQ(kill(pid, SIGTERM), 0);
  int status = 0;
  ASSERT_TRUE(WaitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }, 5s));
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace valico
