#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/testing/test_context.h"
#include "spool/intake.h"
#include "spool/testing/recording_devices.h"

namespace valico {
namespace {

// Files that are no job on POSIX stay while the other jobs go on, whether a listing finds them
// or the watch names them: a name with a backslash (no Windows path can name it; the log says
// why once, not at every pass) and a pipe (reading it could wait for ever).
TEST(IntakePosixTest, ABackslashNameOrAPipeStaysAndTheOtherJobsGoOn) {
  testing::TestContext t;
  testing::RecordingDevices devices;
  Intake intake{t.files, t.log, t.watch, t.settings, devices};
  t.folder.Write("Borea/a\\b.txt", "x");
  t.folder.Write("Borea/ok.txt", "y");
  ASSERT_EQ(::mkfifo((t.folder / "Borea/pipe").c_str(), 0644), 0);
  for (int pass = 0; pass < 3; ++pass) {
    if (pass == 2) t.watch.arrivals = std::vector<std::string>{"a\\b.txt", "pipe"};
    intake.PrelevaSpool(t.ctx.InProgramFolder("Borea"), t.ctx.cfg.IniValico,
                        t.ctx.InProgramFolder("IN"), SpoolKind::kFiscal);
  }
  EXPECT_EQ(devices.calls.size(), 1u);
  EXPECT_TRUE(t.folder.Has("Borea/a\\b.txt") && t.folder.Has("Borea/pipe"));
  EXPECT_EQ(t.log.Count("a\\b.txt"), 1);
}

}  // namespace
}  // namespace valico
