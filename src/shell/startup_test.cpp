#include "shell/startup.h"

#include <gtest/gtest.h>

#include "core/testing/test_context.h"

namespace valico {
namespace {

TEST(StartupTest, PreparesSpoolsSettlesBoreaAndLoadsTheSettings) {
  testing::TestContext t;
  t.folder.Write("_Valico.ini",
                 "[Varie]\r\nCort_Vuoto=0\r\nBorea_Directory=C:\\Borea\\\r\nCort_Active=-1\r\n");
  t.folder.Write("CortBorea/old-job", "x");
  StartUp(t.ctx);
  EXPECT_EQ(t.ctx.cfg.IniValico, t.ctx.InProgramFolder("_Valico.ini"));
  EXPECT_FALSE(t.folder.Has("CortBorea/old-job"));
  EXPECT_TRUE(t.folder.Has("IN"));
  EXPECT_EQ(t.ctx.ini.LeggiINI("Varie", "Cort_Vuoto", "", t.ctx.cfg.IniValico), "-1");
  EXPECT_EQ(t.ctx.cfg.DirBorea, "C:\\Borea");
  EXPECT_TRUE(t.ctx.cfg.Cort_Active);
  EXPECT_EQ(t.ctx.form.Get(controls::Postazione).items,
            (std::vector<std::string>{"CLIENT", "SERVER"}));
  EXPECT_EQ(t.ctx.form.Text(controls::Postazione), "");
}

TEST(StartupTest, LoadsTheImportedRegisterIntoModelAndWindow) {
  testing::TestContext t;
  t.WriteValico("Borea_Directory=C:\\CALDERA\r\nMF_ChkLog=-1\r\n");
  t.folder.Write("drive_c/CALDERA/_Local.ini", "[Varie]\r\nMisPre=106\r\nDelay=20\r\n");
  StartUp(t.ctx);
  EXPECT_TRUE(t.ctx.cfg.MF_Active);
  EXPECT_EQ(t.ctx.cfg.mf_protocol, MfProtocol::kGlobe);
  EXPECT_EQ(t.ctx.form.Text(controls::MF_Protocol), "GLOBE DRIVER - 106");
  EXPECT_EQ(t.ctx.form.Text(controls::MF_Type), "106 - RCH GLOBE");
  EXPECT_TRUE(t.ctx.form.Checked(controls::MF_chkLog))
      << "the saved value wins over the list's default";
  EXPECT_EQ(t.ctx.cfg.MF_File, "") << "a Globe import leaves MF_File as it was";
}

}  // namespace
}  // namespace valico
