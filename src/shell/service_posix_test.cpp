#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

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

// The real program, in real time: it starts, takes a pre-bill job and stops cleanly on
// SIGTERM. (What the spool flags hold back is the polling cycle's test.)
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

  ASSERT_EQ(kill(pid, SIGTERM), 0);
  int status = 0;
  ASSERT_TRUE(WaitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }, 5s));
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_NE(home.Read("Valico.log").find("stopped"), std::string::npos) << "shut down in order";
}

}  // namespace
}  // namespace valico
