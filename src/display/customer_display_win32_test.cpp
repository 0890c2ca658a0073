#include <gtest/gtest.h>
#include <windows.h>

#include "core/testing/test_context.h"
#include "display/customer_display.h"

namespace valico {
namespace {

// Borea still holding the display file (no sharing): it is left for a later tick, and sent
// once it is free.
TEST(CustomerDisplayWin32Test, AFileHeldByItsWriterWaitsForALaterTick) {
  testing::TestContext t;
  t.ctx.cfg.Display_File = "C:\\Valico\\Display.txt";
  t.ctx.cfg.Display_Type = "ASEM";
  t.folder.Write("drive_c/Valico/Display.txt", "busy\r\n");
  HANDLE held = ::CreateFileA(t.Native(t.ctx.cfg.Display_File).c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  CustomerDisplay display(t.ctx.cfg, t.files, t.clock, t.watch, t.log, t.ctx.mscomm1);
  for (int look = 0; look < 3; ++look) display.LanciaFileDLY();
  EXPECT_TRUE(t.serial.ports.empty()) << "the port is not touched for a file it cannot read";
  EXPECT_TRUE(t.folder.Has("drive_c/Valico/Display.txt"));
  EXPECT_TRUE(t.log.Contains("trying again at a later tick"));
  ::CloseHandle(held);
  display.LanciaFileDLY();
  ASSERT_EQ(t.serial.ports.size(), 1u);
  EXPECT_EQ(t.serial.ports[0]->bytes, "\033QAbusy\r");
  EXPECT_FALSE(t.folder.Has("drive_c/Valico/Display.txt"));
}

}  // namespace
}  // namespace valico
