#include "fiscal/mf_startup.h"

#include <gtest/gtest.h>

#include "core/testing/test_context.h"

namespace valico {
namespace {

constexpr char kAbsent[] = "-";  // the key is not written
const char* const kKeys[] = {"MF_Active",    "MF_Type",    "MF_Prot", "MF_COM",
                             "MF_Parametri", "MF_Ritardo", "MF_File", "MF_Driver"};

TEST(MFStartupTest, ImportsTheRegisterKeysByBoreasModel) {
  using Keys = std::vector<std::string>;  // the values of kKeys in order; MF_File was C:\Mine
  const Keys none = {"0", "0 - NON PRESENTE", "Non Presente", "", "", "", "", ""};
  const Keys untouched = {"-", "-", "-", "-", "-", "-", "C:\\Mine\\CAS.txt", "-"};
  struct Case {
    const char* name;
    bool settaggi_borea;
    std::string local;  // lines of [Varie] in _Local.ini
    Keys expected;
  };
  const Case cases[] = {
      {"24: CASIO/DITRON with Borea's port, settings and delay",
       true,
       "MisPre=24\r\nCommPre=3\r\nCF_SETTAGGIO=9600,N,8,1\r\nDelay=30\r\nMF_FILE_DRIVER=X\r\n",
       {"-1", "24 - DITRON ZIP", "CASIO/DITRON - 24", "3", "9600,N,8,1", "30",
        "C:\\CALDERA\\Casio\\CAS.txt", ""}},
      {"106: Globe with Borea's driver; MF_File kept",
       true,
       "MisPre=106\r\nCommPre=2\r\nCF_SETTAGGIO=19200,N,8,1\r\nDelay=20\r\n"
       "MF_FILE_DRIVER=D:\\Globe\\GlobeDriver.exe\r\n",
       {"-1", "106 - RCH GLOBE", "GLOBE DRIVER - 106", "2", "19200,N,8,1", "20",
        "C:\\Mine\\CAS.txt", "D:\\Globe\\GlobeDriver.exe"}},
      {"106 with nothing else: defaults from the model and the usual driver",
       true,
       "MisPre=106\r\n",
       {"-1", "106 - RCH GLOBE", "GLOBE DRIVER - 106", "4", "4800,E,7,1", "", "C:\\Mine\\CAS.txt",
        "C:\\Programmi\\GlobeDriver\\GlobeDriver.exe"}},
      {"no MisPre: no register", true, "CommPre=3\r\n", none},
      {"the model is compared as text: 106,0 is not 106", true, "MisPre=106,0\r\n", none},
      {"Borea's settings not taken: nothing written", false, "MisPre=24\r\nCommPre=3\r\n",
       untouched},
  };
  for (const Case& c : cases) {
    testing::TestContext t;
    t.WriteValico("MF_File=C:\\Mine\\CAS.txt\r\n");
    t.folder.Write("drive_c/CALDERA/_Local.ini", "[Varie]\r\n" + c.local);
    t.ctx.cfg.SettaggiBorea = c.settaggi_borea;
    t.ctx.cfg.DirBorea = "C:\\CALDERA";
    t.ctx.cfg.IniLocal = "C:\\CALDERA\\_Local.ini";
    t.ctx.cfg.MF_COM = "4";
    t.ctx.cfg.MF_Parametri = "4800,E,7,1";
    MF_StartUP_Borea(t.ctx.ini, t.ctx.cfg);
    for (size_t i = 0; i < std::size(kKeys); ++i)
      EXPECT_EQ(t.ctx.ini.LeggiINI("Varie", kKeys[i], kAbsent, t.ctx.cfg.IniValico), c.expected[i])
          << c.name << ": " << kKeys[i];
  }
}

}  // namespace
}  // namespace valico
