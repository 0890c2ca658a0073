#include "fiscal/mf_log.h"

#include <gtest/gtest.h>

#include "platform/testing/test_platform.h"

namespace valico {
namespace {

TEST(MFLogTest, AppendsOneStampedLinePerCallAndSkipsAMissingFolder) {
  testing::TestPlatform t;
  t.clock.SetLocal({2026, 12, 5, 8, 5, 0, 6});
  ScriviLog(t.files, t.clock, t.log, kMFLog, "Invio file: a");
  EXPECT_FALSE(t.folder.Has("drive_c/Valico/MF.log")) << "the folder is not created";
  EXPECT_TRUE(t.log.Contains("Invio file: a"));

  t.folder.Write("drive_c/Valico/MF.log", "earlier\r\n");
  ScriviLog(t.files, t.clock, t.log, kMFLog, "Invio file: a");
  t.clock.SetLocal({2027, 1, 31, 23, 59, 0, 0});
  ScriviLog(t.files, t.clock, t.log, "C:\\VALICO\\mf.LOG", "Invio file: b");
  EXPECT_EQ(t.folder.Read("drive_c/Valico/MF.log"),
            "earlier\r\n05/12/2026 08:05 - Invio file: a\r\n31/01/2027 23:59 - Invio file: b\r\n");
}

}  // namespace
}  // namespace valico
