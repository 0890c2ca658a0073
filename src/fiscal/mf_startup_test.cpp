#include "fiscal/mf_startup.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/testing/test_context.h"
#include "shell/startup.h"

namespace valico {
namespace {

constexpr char kAbsent[] = "<not written>";
const char* const kKeys[] = {"MF_Active",    "MF_Type",    "MF_Prot", "MF_COM",
                             "MF_Parametri", "MF_Ritardo", "MF_File", "MF_Driver"};

TEST(MFStartupTest, ImportsTheRegisterKeysByBoreasModel) {
  using Keys = std::map<std::string, std::string>;
  const Keys none = {{"MF_Active", "0"},
                     {"MF_Type", "0 - NON PRESENTE"},
                     {"MF_Prot", "Non Presente"},
                     {"MF_COM", ""},
                     {"MF_Parametri", ""},
                     {"MF_Ritardo", ""},
                     {"MF_File", ""},
                     {"MF_Driver", ""}};
  struct Case {
    const char* name;
    bool settaggi_borea;
    std::string local;  // lines of [Varie] in _Local.ini
    Keys expected;      // keys missing here must not be written
  };
  const Case cases[] = {
      {"24: CASIO/DITRON with Borea's port, settings and delay",
       true,
       "MisPre=24\r\nCommPre=3\r\nCF_SETTAGGIO=9600,N,8,1\r\nDelay=30\r\nMF_FILE_DRIVER=X\r\n",
       {{"MF_Active", "-1"},
        {"MF_Type", "24 - DITRON ZIP"},
        {"MF_Prot", "CASIO/DITRON - 24"},
        {"MF_COM", "3"},
        {"MF_Parametri", "9600,N,8,1"},
        {"MF_Ritardo", "30"},
        {"MF_File", "C:\\CALDERA\\Casio\\CAS.txt"},
        {"MF_Driver", ""}}},
      {"106: Globe with Borea's driver; MF_File kept",
       true,
       "MisPre=106\r\nCommPre=2\r\nCF_SETTAGGIO=19200,N,8,1\r\nDelay=20\r\n"
       "MF_FILE_DRIVER=D:\\Globe\\GlobeDriver.exe\r\n",
       {{"MF_Active", "-1"},
        {"MF_Type", "106 - RCH GLOBE"},
        {"MF_Prot", "GLOBE DRIVER - 106"},
        {"MF_COM", "2"},
        {"MF_Parametri", "19200,N,8,1"},
        {"MF_Ritardo", "20"},
        {"MF_Driver", "D:\\Globe\\GlobeDriver.exe"}}},
      {"106 with nothing else: defaults from the window and the usual driver",
       true,
       "MisPre=106\r\n",
       {{"MF_Active", "-1"},
        {"MF_Type", "106 - RCH GLOBE"},
        {"MF_Prot", "GLOBE DRIVER - 106"},
        {"MF_COM", "4"},
        {"MF_Parametri", "4800,E,7,1"},
        {"MF_Ritardo", ""},
        {"MF_Driver", "C:\\Programmi\\GlobeDriver\\GlobeDriver.exe"}}},
      {"0: no register", true, "MisPre=0\r\nCommPre=3\r\nDelay=30\r\n", none},
      {"no MisPre: no register", true, "CommPre=3\r\n", none},
      {"other model numbers: no register", true, "MisPre=240\r\n", none},
      {"Borea's settings not taken: nothing written", false, "MisPre=24\r\nCommPre=3\r\n", {}},
  };
  for (const Case& c : cases) {
    testing::TestContext t;
    t.WriteValico("MF_File=C:\\Mine\\CAS.txt\r\n");
    t.folder.Write("drive_c/CALDERA/_Local.ini", "[Varie]\r\n" + c.local);
    t.ctx.cfg.SettaggiBorea = c.settaggi_borea;
    t.ctx.cfg.DirBorea = "C:\\CALDERA";
    t.ctx.cfg.IniLocal = "C:\\CALDERA\\_Local.ini";
    t.ctx.form.SetText("MF_Com", "4");
    t.ctx.form.SetText("MF_Param", "4800,E,7,1");
    MF_StartUP_Borea(t.ctx);
    for (const char* key : kKeys) {
      auto it = c.expected.find(key);
      std::string fallback = std::string(key) == "MF_File" ? "C:\\Mine\\CAS.txt" : kAbsent;
      EXPECT_EQ(t.ctx.ini.LeggiINI("Varie", key, kAbsent, t.ctx.cfg.IniValico),
                it == c.expected.end() ? fallback : it->second)
          << c.name << ": " << key;
    }
  }
}

TEST(MFStartupTest, StartUpFillsTheListsThenLoadsTheImportedRegister) {
  testing::TestContext t;
  t.WriteValico("Borea_Directory=C:\\CALDERA\r\nMF_ChkLog=-1\r\n");
  t.folder.Write("drive_c/CALDERA/_Local.ini", "[Varie]\r\nMisPre=106\r\nDelay=20\r\n");
  StartUp(t.ctx);
  EXPECT_EQ(t.ctx.form.Get("MF_Type").items,
            (std::vector<std::string>{"24 - DITRON ZIP", "106 - RCH GLOBE", "0 - NON PRESENTE"}));
  EXPECT_EQ(t.ctx.form.Get("MF_Protocol").items,
            (std::vector<std::string>{"CASIO/DITRON - 24", "GLOBE DRIVER - 106", "Nessuno"}));
  EXPECT_TRUE(t.ctx.cfg.MF_Active);
  EXPECT_EQ(t.ctx.cfg.MF_Prot, "GLOBE DRIVER - 106");
  EXPECT_EQ(t.ctx.form.Text("MF_Protocol"), "GLOBE DRIVER - 106");
  EXPECT_EQ(t.ctx.form.Text("MF_Type"), "106 - RCH GLOBE");
  EXPECT_EQ(t.ctx.cfg.MF_Ritardo, 20);
  EXPECT_EQ(t.ctx.cfg.MF_Driver, "C:\\Programmi\\GlobeDriver\\GlobeDriver.exe");
  EXPECT_TRUE(t.ctx.form.Checked("MF_chkLog")) << "the saved value wins over the list's default";
  EXPECT_EQ(t.ctx.cfg.MF_File, "") << "a Globe import leaves MF_File as it was";
}

}  // namespace
}  // namespace valico
