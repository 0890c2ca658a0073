#include "platform/program_folder_lock.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/testing/temp_folder.h"

namespace valico {
namespace {

// One holder per folder, however the folder is spelt; the lock goes with its holder; another
// folder has a lock of its own.
TEST(ProgramFolderLockTest, OneHolderPerFolderWhateverItsSpelling) {
  testing::TempFolder home, other;
  auto first = std::make_unique<ProgramFolderLock>(home.path());
  ASSERT_TRUE(first->held());
  const char sep = home.path().find('\\') != std::string::npos ? '\\' : '/';
  for (const std::string& spelling :
       {home.path(), home.path() + sep, home.path() + sep + "." + sep}) {
    SCOPED_TRACE(spelling);
    EXPECT_FALSE(ProgramFolderLock(spelling).held());
    EXPECT_EQ(ProgramFolderKey(spelling), ProgramFolderKey(home.path()));
  }
  EXPECT_TRUE(ProgramFolderLock(other.path()).held());
  EXPECT_NE(ProgramFolderKey(other.path()), ProgramFolderKey(home.path()));
  first.reset();
  EXPECT_TRUE(ProgramFolderLock(home.path()).held()) << "the lock goes with its holder";
}

}  // namespace
}  // namespace valico
