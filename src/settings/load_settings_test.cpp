#include "settings/load_settings.h"

#include <gtest/gtest.h>

#include "core/testing/test_context.h"

namespace valico {
namespace {

using testing::TestContext;

TEST(LoadSettingsTest, MissingSettingsFileLoadsEveryDefault) {
  TestContext t;
  CaricaSettaggi(t.ctx);
  const Config& c = t.ctx.cfg;
  EXPECT_TRUE(c.SettaggiBorea);
  EXPECT_EQ(t.ctx.form.Get("chkBorea").value, 1);
  EXPECT_EQ(c.DirBorea, "C:\\CALDERA");
  EXPECT_EQ(c.IniLocal, "C:\\CALDERA\\_Local.ini");
  EXPECT_EQ(c.DirProgramma, t.folder.path());
  EXPECT_EQ(c.MF_Ritardo, 50);
  EXPECT_EQ(t.ctx.form.Text("MF_Delay"), "50");
  EXPECT_EQ(c.MF_COM, "1");
  EXPECT_EQ(c.MF_Parametri, "9600,N,8,1");
  EXPECT_EQ(c.Cort_Sett, "9600,N,8,1");
  EXPECT_EQ(c.Cort_Printer, "NON PRESENTE");
  EXPECT_FALSE(c.Display_Active || c.MF_Active || c.RF_Active || c.Cort_Active ||
               c.MF_Buffer || c.MF_ChkLog || c.Cort_Logo);
  EXPECT_EQ(c.RF_Righe, 0);
  EXPECT_FALSE(t.folder.Has("_Valico.ini")) << "loading writes nothing";
}

TEST(LoadSettingsTest, StoredValuesReachModelAndControls) {
  TestContext t;
  t.ctx.form.AddItem("Cort_Printer", "DPT-282");
  t.WriteValico(
      "Borea_Setting=0\r\nBorea_Directory=D:\\Borea\r\n"
      "Display_Active=-1\r\nDisplay_File=C:\\Valico\\Display.txt\r\nDisplay_Type=0\r\n"
      "Display_COM=3\r\nDisplay_Parametri=4800,E,7,1\r\n"
      "MF_Active=True\r\nMF_Buffer=-1\r\nMF_Ritardo=20\r\nMF_TYPE=106 - RCH GLOBE\r\n"
      "RF_Seriale=2\r\nRF_Righe=30\r\nRF_FILE_2=C:\\r2.txt\r\nRF_PRINTER_2=P2\r\nRF_COM_2=4\r\n"
      "CORT_Active=1\r\nCORT_Printer=DPT-282\r\nCORT_COM=5\r\nCort_Sett=19200,N,8,1\r\n"
      "CORT_Logo=1\r\n");
  std::string before = t.folder.Read("_Valico.ini");
  t.ctx.form.AddItem("DLY_Type", "ASEM");
  t.ctx.form.SetText("DLY_Type", "ASEM");
  CaricaSettaggi(t.ctx);
  const Config& c = t.ctx.cfg;
  const FormModel& f = t.ctx.form;
  EXPECT_FALSE(c.SettaggiBorea);
  EXPECT_EQ(c.DirBorea, "D:\\Borea");
  EXPECT_TRUE(c.Display_Active);
  EXPECT_EQ(c.Display_Type, "0");
  EXPECT_EQ(f.Text("DLY_Type"), "ASEM") << "a type of \"0\" leaves the list alone";
  EXPECT_EQ(t.ctx.mscomm1.port(), 3);
  EXPECT_EQ(t.ctx.mscomm1.settings(), "4800,E,7,1");
  EXPECT_FALSE(t.ctx.mscomm1.IsOpen()) << "the load never opens the port";
  EXPECT_TRUE(c.MF_Active);
  EXPECT_TRUE(c.MF_Buffer);
  EXPECT_EQ(f.Get("MF_Buffer").value, 1);
  EXPECT_EQ(c.MF_Ritardo, 20);
  EXPECT_EQ(c.MF_Type, "106 - RCH GLOBE");
  EXPECT_EQ(c.RF_Seriale, TypedValue::FromInt(2));
  EXPECT_EQ(c.RF_Righe, 30);
  EXPECT_EQ(f.Text("RF_FILE_2"), "C:\\r2.txt");
  EXPECT_EQ(f.Text("RF_COM_2"), "4");
  EXPECT_TRUE(c.Cort_Active) << "the save stores \"1\"";
  EXPECT_TRUE(c.Cort_Logo);
  EXPECT_EQ(f.Text("Cort_Printer"), "DPT-282");
  EXPECT_EQ(t.ctx.com_preconto.port(), 5);
  EXPECT_EQ(t.ctx.com_preconto.settings(), "19200,N,8,1");
  EXPECT_EQ(t.folder.Read("_Valico.ini"), before) << "the second printer's keys stay stored";
}

TEST(LoadSettingsTest, ValuesThatDoNotConvertKeepWhatWasThere) {
  TestContext t;
  t.WriteValico("MF_Ritardo=20\r\nRF_Righe=12\r\nDisplay_Active=0\r\nCort_Printer=SAMSUNG\r\n"
                "Cort_Com=7\r\n");
  t.ctx.mscomm1.SetPort(9);
  CaricaSettaggi(t.ctx);
  t.WriteValico("MF_Ritardo=abc\r\nRF_Righe=\r\nDisplay_Active=abc\r\nMF_Type=unknown\r\n");
  CaricaSettaggi(t.ctx);
  EXPECT_EQ(t.ctx.cfg.MF_Ritardo, 20);
  EXPECT_EQ(t.ctx.cfg.RF_Righe, 12);
  EXPECT_FALSE(t.ctx.cfg.Display_Active);
  EXPECT_EQ(t.ctx.mscomm1.port(), 9) << "no display key is read while the display is off";
  EXPECT_EQ(t.ctx.com_preconto.port(), 1) << "only a DPT-282 sets up the pre-bill port";
  EXPECT_EQ(t.ctx.cfg.MF_Type, "unknown") << "the model keeps a value the list lacks";
  EXPECT_EQ(t.ctx.form.Get("MF_Type").selected, -1);
}

TEST(LoadSettingsTest, BoreaFolderLosesOneTrailingBackslash) {
  struct Case {
    const char* stored;
    const char* folder;
  };
  for (const Case& c : {Case{"D:\\Borea\\", "D:\\Borea"}, Case{"D:\\Borea\\\\", "D:\\Borea\\"},
                        Case{"", "C:\\Caldera"}, Case{nullptr, "C:\\Caldera"}}) {
    TestContext t;
    if (c.stored) t.WriteValico(std::string("Borea_Directory=") + c.stored + "\r\n");
    ImpostaCartellaBorea(t.ctx);
    EXPECT_EQ(t.ctx.cfg.DirBorea, c.folder);
    EXPECT_EQ(t.ctx.form.Text("BoreaDir"), c.folder);
    EXPECT_EQ(t.ctx.ini.LeggiINI("Varie", "Borea_Directory", "?", t.ctx.cfg.IniValico), c.folder);
    EXPECT_EQ(t.ctx.cfg.IniLocal, std::string(c.folder) + "\\_Local.ini");
    EXPECT_EQ(t.ctx.cfg.RunTimeBorea, "C:\\Programmi\\Access 97 Runtime\\msaccess.exe");
    EXPECT_EQ(t.ctx.ini.LeggiVarie("RunTimeBorea").ToText(t.ctx.svc.regional),
              "C:\\Programmi\\Access 97 Runtime\\msaccess.exe");
  }
}

TEST(LoadSettingsTest, RuntimePathComesFromBoreasLocalIni) {
  TestContext t;
  t.WriteValico("Borea_Directory=C:\\caldera\r\n");
  t.folder.Write("drive_c/CALDERA/_Local.ini", "[Varie]\r\nRT_Access=C:\\Office\\msaccess.exe\r\n");
  ImpostaCartellaBorea(t.ctx);
  EXPECT_EQ(t.ctx.cfg.RunTimeBorea, "C:\\Office\\msaccess.exe")
      << "folder names match without regard to case";
}

TEST(LoadSettingsTest, SchedulerSwitchAndWorkstationRole) {
  TestContext t;
  CaricaSettaggi(t.ctx);
  EXPECT_FALSE(t.ctx.cfg.OP_Attive);
  EXPECT_EQ(t.ctx.cfg.Postazione, "");
  t.ctx.form.AddItem("Postazione", "CLIENT");
  t.ctx.form.AddItem("Postazione", "SERVER");
  t.WriteValico("OP_Attive=-1\r\nPostazione=SERVER\r\n");
  CaricaSettaggi(t.ctx);
  EXPECT_TRUE(t.ctx.cfg.OP_Attive);
  EXPECT_TRUE(t.ctx.form.Checked("chkOpPian"));
  EXPECT_EQ(t.ctx.cfg.Postazione, "SERVER");
  EXPECT_EQ(t.ctx.form.Text("Postazione"), "SERVER");
  EXPECT_EQ(t.ctx.form.Get("Postazione").selected, 1);
}

}  // namespace
}  // namespace valico
