#include "platform/folder_lock.h"

#include <gtest/gtest.h>

#include "platform/testing/temp_folder.h"

namespace valico {
namespace {

// Two claims of one folder stand for two programs: the lock belongs to the open file, so a
// second claim conflicts with the first even inside one process.
TEST(FolderLock, OneClaimAtATimeUntilItsHolderLetsGo) {
  testing::TempFolder home;
  FolderClaim first = LockFolder(home.path(), false);
  ASSERT_NE(first.lock, nullptr) << first.error;

  FolderClaim second = LockFolder(home.path(), false);
  EXPECT_EQ(second.lock, nullptr);
  EXPECT_TRUE(second.held_elsewhere);
  EXPECT_EQ(second.error, "");

  first.lock.reset();
  FolderClaim third = LockFolder(home.path(), true);
  EXPECT_NE(third.lock, nullptr) << third.error;

  FolderClaim missing = LockFolder(home / "missing", false);
  EXPECT_EQ(missing.lock, nullptr);
  EXPECT_FALSE(missing.held_elsewhere);
  EXPECT_NE(missing.error, "");
}

}  // namespace
}  // namespace valico
