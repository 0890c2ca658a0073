#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "core/testing/test_context.h"
#include "display/customer_display.h"
#include "platform/testing/temp_folder.h"

namespace valico {
namespace {

// A display file Valico may not read is left for a later tick, and sent once it may.
void CheckAFileThatCannotBeReadWaits() {
  testing::TestContext t;
  t.ctx.cfg.Display_File = "C:\\Valico\\Display.txt";
  t.ctx.cfg.Display_Type = "ASEM";
  t.folder.Write("drive_c/Valico/Display.txt", "busy\r\n");
  std::filesystem::path p = t.Native(t.ctx.cfg.Display_File);
  std::filesystem::permissions(p, std::filesystem::perms::none);
  CustomerDisplay display(t.ctx.cfg, t.files, t.clock, t.watch, t.log, t.ctx.mscomm1);
  for (int look = 0; look < 3; ++look) display.LanciaFileDLY();
  EXPECT_TRUE(t.serial.ports.empty()) << "the port is not touched for a file it cannot read";
  EXPECT_TRUE(t.folder.Has("drive_c/Valico/Display.txt"));
  EXPECT_TRUE(t.log.Contains("trying again at a later tick"));
  std::filesystem::permissions(
      p, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  display.LanciaFileDLY();
  ASSERT_EQ(t.serial.ports.size(), 1u);
  EXPECT_EQ(t.serial.ports[0]->bytes, "\033QAbusy\r");
  EXPECT_FALSE(t.folder.Has("drive_c/Valico/Display.txt"));
}

// Root reads every file, so as root (as CI runs) the check runs in a child process that has
// become the user nobody first, with a temporary folder of nobody's (TMPDIR may be root's).
TEST(CustomerDisplayPosixTest, AFileThatCannotBeReadWaitsForALaterTick) {
  if (::geteuid() != 0) return CheckAFileThatCannotBeReadWaits();
  const passwd* nobody = ::getpwnam("nobody");
  ASSERT_NE(nobody, nullptr);
  testing::TempFolder tmp;
  ASSERT_EQ(::chown(tmp.path().c_str(), nobody->pw_uid, nobody->pw_gid), 0);
  std::fflush(nullptr);  // nothing buffered is written twice
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 ||
        ::setuid(nobody->pw_uid) != 0)
      ::_exit(3);
    ::setenv("TMPDIR", tmp.path().c_str(), 1);
    CheckAFileThatCannotBeReadWaits();
    std::fflush(nullptr);
    ::_exit(::testing::Test::HasFailure() ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
      << "the check as nobody failed (its failures are above), status " << status;
}

}  // namespace
}  // namespace valico
