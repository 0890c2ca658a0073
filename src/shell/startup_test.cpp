#include "shell/startup.h"

#include <gtest/gtest.h>

#include "core/testing/test_context.h"
#include "shell/service.h"

namespace valico {
namespace {

namespace c = controls;

TEST(StartupTest, PreparesSpoolsSettlesBoreaImportsAndLoads) {
  testing::TestContext t;
  t.WriteValico(
      "Cort_Vuoto=0\r\nBorea_Directory=C:\\Borea\\\r\nCort_Active=-1\r\nMF_ChkLog=-1\r\n");
  t.folder.Write("drive_c/Borea/_Local.ini", "[Varie]\r\nMisPre=106\r\nDelay=20\r\n");
  t.folder.Write("CortBorea/old-job", "x");
  StartUp(t.ctx);
  EXPECT_EQ(t.ctx.cfg.IniValico, t.ctx.InProgramFolder("_Valico.ini"));
  EXPECT_FALSE(t.folder.Has("CortBorea/old-job")) << "the spools are prepared first";
  EXPECT_EQ(t.ctx.cfg.DirBorea, "C:\\Borea");
  EXPECT_TRUE(t.ctx.cfg.Cort_Active);
  EXPECT_EQ(t.ctx.form.Get(c::Postazione).items, (std::vector<std::string>{"CLIENT", "SERVER"}));
  EXPECT_EQ(t.ctx.form.Text(c::Postazione), "");

  // Borea's register, imported before the load, reaches the model and the window's lists.
  EXPECT_TRUE(t.ctx.cfg.MF_Active);
  EXPECT_EQ(t.ctx.cfg.mf_protocol, MfProtocol::kGlobe);
  EXPECT_EQ(t.ctx.form.Text(c::MF_Protocol), "GLOBE DRIVER - 106");
  EXPECT_EQ(t.ctx.form.Text(c::MF_Type), "106 - RCH GLOBE");
  EXPECT_TRUE(t.ctx.form.Checked(c::MF_chkLog)) << "the saved value wins over the list's default";
  EXPECT_EQ(t.ctx.cfg.MF_File, "") << "a Globe import leaves MF_File as it was";

  // The notices count from before the first tick: a job written meanwhile is known.
  ServiceTicks ticks(t.ctx);
  EXPECT_TRUE(t.watch.followed.count(t.Native(t.ctx.InProgramFolder("CortBorea"))));
}

}  // namespace
}  // namespace valico
