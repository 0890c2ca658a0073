#include "spool/spool_folders.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/testing/test_context.h"

namespace valico {
namespace {

TEST(SpoolFoldersTest, StartUpOpensEverySpoolAndDiscardsLeftoverJobs) {
  testing::TestContext t;
  t.WriteValico("MF_Vuoto=0\r\nRF_Vuoto=False\r\nCort_Vuoto=0\r\n");
  for (const char* f : {"Borea/a", "IN/b", "CortBorea/c", "CortIN/d", "CortIN/e"})
    t.folder.Write(f, "x");
  // A pre-bill the last run took an hour ago is stale; one taken just before a crash is not.
  auto hour_ago = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
  std::filesystem::last_write_time(t.folder / "CortIN/e", hour_ago);
  t.folder.Write("IN/sub/keep", "x");
  PreparaCartelle(t.ctx.ini, t.files, t.log, t.ctx.program_folder());
  for (const char* f : {"Borea/a", "IN/b", "CortBorea/c", "CortIN/d", "CortIN/e", "CortBorea/e"})
    EXPECT_FALSE(t.folder.Has(f)) << f;
  EXPECT_TRUE(t.folder.Has("CortBorea/d")) << "taken again";
  EXPECT_TRUE(t.folder.Has("IN/sub/keep"));
  EXPECT_EQ(t.folder.Read("_Valico.ini"),
            "[Varie]\r\nMF_Vuoto=-1\r\nRF_Vuoto=-1\r\nCort_Vuoto=-1\r\n");

  testing::TestContext fresh;
  PreparaCartelle(fresh.ctx.ini, fresh.files, fresh.log, fresh.ctx.program_folder());
  for (const char* f : {"Borea", "IN", "CortBorea", "CortIN"})
    EXPECT_TRUE(fresh.files.IsFolder(fresh.ctx.InProgramFolder(f)));
}

}  // namespace
}  // namespace valico
