#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "core/testing/test_context.h"
#include "display/customer_display.h"

namespace valico {
namespace {

// A display file Valico may not read is left for a later tick, and sent once it may.
TEST(CustomerDisplayPosixTest, AFileThatCannotBeReadWaitsForALaterTick) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
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

}  // namespace
}  // namespace valico
