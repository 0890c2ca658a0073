#include "config_ui/load_settings.h"

#include <gtest/gtest.h>

#include "config_ui/save_settings.h"
#include "platform/testing/test_platform.h"

namespace valico {
namespace {

namespace c = controls;

// The settings file, the model and the window's controls a load fills.
struct Settings : testing::TestPlatform {
  Settings() {
    cfg.IniValico = InFolder("_Valico.ini");
    ini.SetValicoIni(cfg.IniValico);
  }
  void Load() { CaricaSettaggi(ini, cfg, form, mscomm1, com_preconto); }

  IniStore ini{files, regional, log};
  Config cfg;
  FormModel form;
  SerialControl mscomm1{serial, log, "display port"};
  SerialControl com_preconto{serial, log, "pre-bill port"};
};
struct LoadTest : ::testing::Test, Settings {};

TEST_F(LoadTest, MissingSettingsFileLoadsEveryDefault) {
  Load();
  EXPECT_TRUE(cfg.SettaggiBorea);
  EXPECT_EQ(form.Get(c::chkBorea).value, 1);
  EXPECT_EQ(cfg.DirBorea, "C:\\CALDERA");
  EXPECT_EQ(cfg.IniLocal, "C:\\CALDERA\\_Local.ini");
  EXPECT_EQ(cfg.MF_Ritardo, 50);
  EXPECT_EQ(form.Text(c::MF_Delay), "50");
  EXPECT_EQ(cfg.Cort_Sett, "9600,N,8,1");
  EXPECT_EQ(cfg.Cort_Printer, "NON PRESENTE");
  EXPECT_EQ(cfg.cort_model, CortModel::kOther);
  EXPECT_FALSE(cfg.Display_Active || cfg.MF_Active || cfg.RF_Active || cfg.Cort_Active ||
               cfg.MF_Buffer || cfg.MF_ChkLog || cfg.Cort_Logo || cfg.OP_Attive);
  EXPECT_EQ(cfg.RF_Righe, 0);
  EXPECT_FALSE(folder.Has("_Valico.ini")) << "loading writes nothing";
}

TEST_F(LoadTest, StoredValuesReachModelAndControls) {
  form.AddItem(c::Cort_Printer, "DPT-282");
  form.AddItem(c::Postazione, "CLIENT");
  form.AddItem(c::Postazione, "SERVER");
  WriteValico(
      "Borea_Setting=0\r\n"
      "Display_Active=-1\r\nDisplay_File=C:\\Valico\\Display.txt\r\nDisplay_Type=0\r\n"
      "Display_COM=3\r\nDisplay_Parametri=4800,E,7,1\r\n"
      "MF_Active=True\r\nMF_Buffer=-1\r\nMF_Ritardo=20\r\nMF_TYPE=106 - RCH GLOBE\r\n"
      "MF_Prot=GLOBE DRIVER - 106\r\n"
      "RF_Seriale=2\r\nRF_Righe=30\r\nRF_FILE_2=C:\\r2.txt\r\nRF_PRINTER_2=P2\r\nRF_COM_2=4\r\n"
      "CORT_Active=1\r\nCORT_Printer=DPT-282\r\nCORT_COM=5\r\nCort_Sett=19200,N,8,1\r\n"
      "CORT_Logo=1\r\nOP_Attive=-1\r\nPostazione=SERVER\r\n");
  std::string before = folder.Read("_Valico.ini");
  form.AddItem(c::DLY_Type, "ASEM");
  form.SetText(c::DLY_Type, "ASEM");
  Load();
  // "True", "-1" and "1" (what the save stores) are all true flags.
  EXPECT_TRUE(cfg.Display_Active && cfg.MF_Active && cfg.MF_Buffer && cfg.Cort_Active &&
              cfg.Cort_Logo && cfg.OP_Attive && !cfg.SettaggiBorea);
  EXPECT_TRUE(form.Checked(c::MF_Buffer) && form.Checked(c::chkOpPian));
  EXPECT_EQ(cfg.Display_Type, "0");
  EXPECT_EQ(form.Text(c::DLY_Type), "ASEM") << "a type of \"0\" leaves the list alone";
  EXPECT_EQ(mscomm1.port(), 3);
  EXPECT_EQ(mscomm1.settings(), "4800,E,7,1");
  EXPECT_FALSE(mscomm1.IsOpen()) << "the load never opens the port";
  EXPECT_EQ(cfg.MF_Ritardo, 20);
  EXPECT_EQ(cfg.MF_Type, "106 - RCH GLOBE");
  EXPECT_EQ(cfg.mf_protocol, MfProtocol::kGlobe);
  EXPECT_EQ(cfg.RF_Seriale, TypedValue::FromInt(2));
  EXPECT_EQ(cfg.RF_Righe, 30);
  for (auto [control, text] :
       {std::pair{c::RF_FILE_2, "C:\\r2.txt"}, {c::RF_COM_2, "4"}, {c::Cort_Printer, "DPT-282"}})
    EXPECT_EQ(form.Text(control), text) << control;
  EXPECT_EQ(cfg.cort_model, CortModel::kDpt282);
  EXPECT_EQ(com_preconto.port(), 5);
  EXPECT_EQ(com_preconto.settings(), "19200,N,8,1");
  EXPECT_EQ(cfg.Postazione, "SERVER");
  EXPECT_EQ(form.Get(c::Postazione).selected, 1);
  EXPECT_EQ(folder.Read("_Valico.ini"), before) << "the second printer's keys stay stored";
}

TEST_F(LoadTest, ValuesThatDoNotConvertKeepWhatWasThere) {
  WriteValico(
      "MF_Ritardo=20\r\nRF_Righe=12\r\nDisplay_Active=0\r\nCort_Printer=SAMSUNG\r\n"
      "Cort_Com=7\r\n");
  mscomm1.SetPort(9);
  Load();
  WriteValico(
      "MF_Ritardo=abc\r\nRF_Righe=\r\nDisplay_Active=abc\r\nMF_Type=unknown\r\n"
      "Cort_Printer=samsung\r\n");
  Load();
  EXPECT_EQ(cfg.MF_Ritardo, 20);
  EXPECT_EQ(form.Text(c::MF_Delay), "20") << "the box shows the number kept";
  EXPECT_EQ(cfg.RF_Righe, 12);
  EXPECT_EQ(form.Text(c::RF_Righe), "12");
  EXPECT_FALSE(cfg.Display_Active);
  EXPECT_EQ(mscomm1.port(), 9) << "no display key is read while the display is off";
  EXPECT_EQ(com_preconto.port(), 1) << "only a DPT-282 sets up the pre-bill port";
  EXPECT_EQ(cfg.MF_Type, "unknown") << "the model keeps a value the list lacks";
  EXPECT_EQ(cfg.cort_model, CortModel::kOther) << "models compare with case";
}

// A save right after the load writes back what was stored, even where a list lacks the value;
// a number that did not convert, or a blank RF_Righe, becomes the number the field holds.
TEST(LoadThenSaveTest, AnUntouchedSaveKeepsWhatWasStored) {
  struct Case {
    const char* stored;  // one line of _Valico.ini
    const char* saved;   // that key's line after the load and an untouched save
  };
  for (const Case& k : {
           Case{"RF_Stampante=EPSON scollegata", "RF_Stampante=EPSON scollegata"},
           Case{"CORT_Printer=STAMPANTE NUOVA", "CORT_Printer=STAMPANTE NUOVA"},
           Case{"MF_Prot=PROTOCOLLO NUOVO - 99", "MF_Prot=PROTOCOLLO NUOVO - 99"},
           Case{"MF_Type=99 - NUOVO", "MF_Type=99 - NUOVO"},
           Case{"MF_Ritardo=abc", "MF_Ritardo=0"},
           Case{"RF_Righe=", "RF_Righe=0"},
           Case{"RF_Righe=41", "RF_Righe=41"},
       }) {
    SCOPED_TRACE(k.stored);
    Settings p;
    for (const char* item : {"EPSON TM-U295", "NON PRESENTE", "0 - NON PRESENTE", "Nessuno"}) {
      for (const char* list : {c::RF_Printer, c::Cort_Printer, c::MF_Type, c::MF_Protocol})
        p.form.AddItem(list, item);
    }
    p.WriteValico(std::string(k.stored) + "\r\n");
    p.Load();
    SalvaConfigurazione(p.ini, p.form);
    std::string file = p.folder.Read("_Valico.ini");
    EXPECT_NE(file.find(std::string("\n") + k.saved + "\r\n"), std::string::npos) << file;
  }
}

TEST(ImpostaCartellaBoreaTest, FolderLosesOneTrailingBackslashRuntimeComesFromLocalIni) {
  struct Case {
    const char* stored;
    const char* folder;
    const char* runtime;  // RT_Access in drive_c/CALDERA/_Local.ini, or none
  };
  const std::string kDefaultRuntime = "C:\\Programmi\\Access 97 Runtime\\msaccess.exe";
  for (const Case& k :
       {Case{"D:\\Borea\\", "D:\\Borea", nullptr}, Case{"D:\\Borea\\\\", "D:\\Borea\\", nullptr},
        Case{nullptr, "C:\\Caldera", nullptr},
        Case{"C:\\caldera", "C:\\caldera", "C:\\Office\\msaccess.exe"}}) {
    SCOPED_TRACE(k.folder);
    Settings p;
    if (k.stored) p.WriteValico(std::string("Borea_Directory=") + k.stored + "\r\n");
    if (k.runtime)
      p.folder.Write("drive_c/CALDERA/_Local.ini",
                     std::string("[Varie]\r\nRT_Access=") + k.runtime + "\r\n");
    ImpostaCartellaBorea(p.ini, p.cfg, p.form);
    EXPECT_EQ(p.cfg.DirBorea, k.folder);
    EXPECT_EQ(p.form.Text(c::BoreaDir), k.folder);
    EXPECT_EQ(p.ini.LeggiINI("Varie", "Borea_Directory", "?", p.cfg.IniValico), k.folder);
    EXPECT_EQ(p.cfg.IniLocal, std::string(k.folder) + "\\_Local.ini");
    // Folder names match without regard to case.
    std::string runtime = k.runtime ? k.runtime : kDefaultRuntime;
    EXPECT_EQ(p.cfg.RunTimeBorea, runtime);
    EXPECT_EQ(p.ini.LeggiVarie("RunTimeBorea").ToText(p.regional), runtime);
  }
}

}  // namespace
}  // namespace valico
