#include "spool/spool_folders.h"

#include <gtest/gtest.h>

#include "core/testing/test_context.h"

namespace valico {
namespace {

TEST(SpoolFoldersTest, StartUpOpensEverySpoolAndDiscardsLeftoverJobs) {
  testing::TestContext t;
  t.WriteValico("MF_Vuoto=0\r\nRF_Vuoto=False\r\nCort_Vuoto=0\r\n");
  for (const char* f : {"Borea/a", "IN/b", "CortBorea/c", "CortIN/d"}) t.folder.Write(f, "x");
  t.folder.Write("IN/sub/keep", "x");
  PreparaCartelle(t.ctx.ini, t.files, t.log, t.ctx.program_folder());
  for (const char* f : {"Borea/a", "IN/b", "CortBorea/c", "CortIN/d"})
    EXPECT_FALSE(t.folder.Has(f));
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
