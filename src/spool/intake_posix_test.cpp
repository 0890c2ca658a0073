#include <gtest/gtest.h>

#include "core/testing/test_context.h"
#include "spool/intake.h"
#include "spool/testing/recording_devices.h"

namespace valico {
namespace {

// A name with a backslash exists only on POSIX: it cannot be named by a Windows path, so the
// file stays, the other jobs go on, and the log says why once, not at every pass.
TEST(IntakePosixTest, AJobNamedWithABackslashStaysAndIsReportedOnce) {
  testing::TestContext t;
  testing::RecordingDevices devices;
  Intake intake{t.files, t.log, t.watch, t.settings, devices};
  t.folder.Write("Borea/a\\b.txt", "x");
  t.folder.Write("Borea/ok.txt", "y");
  for (int pass = 0; pass < 3; ++pass)
    intake.PrelevaSpool(t.ctx.InProgramFolder("Borea"), t.ctx.cfg.IniValico,
                        t.ctx.InProgramFolder("IN"), SpoolKind::kFiscal);
  EXPECT_EQ(devices.calls.size(), 1u);
  EXPECT_TRUE(t.folder.Has("Borea/a\\b.txt"));
  EXPECT_EQ(t.log.Count("a\\b.txt"), 1);
}

}  // namespace
}  // namespace valico
