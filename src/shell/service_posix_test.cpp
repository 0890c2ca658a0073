#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "platform/testing/temp_folder.h"

extern char** environ;

namespace valico {
namespace {

using namespace std::chrono_literals;

std::string ValicoBinary() {
  const char* dir = std::getenv("VALICO_TEST_BIN_DIR");
  return std::string(dir ? dir : ".") + "/valico";
}

template <typename Pred>
bool WaitFor(Pred pred, std::chrono::milliseconds limit) {
  auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    if (pred()) return true;
    std::this_thread::sleep_for(20ms);
  }
  return pred();
}

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

  std::string ini = home.Read("_Valico.ini");
  size_t at = ini.find("Cort_Vuoto=-1");
  ASSERT_NE(at, std::string::npos);
  // Replaced in one step: a tick must never read a half-written file.
  home.Write("_Valico.new", ini.replace(at, 13, "Cort_Vuoto=0"));
  std::filesystem::rename(home / "_Valico.new", home / "_Valico.ini");
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
