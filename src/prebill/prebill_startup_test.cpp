#include "prebill/prebill_startup.h"

#include <gtest/gtest.h>

#include "core/testing/test_context.h"

namespace valico {
namespace {

using testing::TestContext;

// The keys of _Valico.ini the import may touch, as "key=value" for those present.
std::vector<std::string> CortKeys(TestContext& t) {
  std::vector<std::string> out;
  for (const char* key : {"Cort_Printer", "Cort_File", "Cort_COM", "Cort_Sett", "Cort_Logo"}) {
    std::string v = t.ctx.ini.LeggiINI("Varie", key, "<missing>", t.ctx.cfg.IniValico);
    if (v != "<missing>") out.push_back(std::string(key) + "=" + v);
  }
  return out;
}

// Code 108 with its port and settings is imported in the shell's devices test.
TEST(PrebillStartupTest, ImportsThePrinterFromBorea) {
  using Keys = std::vector<std::string>;
  struct {
    const char* name;
    std::string local;   // Borea's [VARIE]
    std::string valico;  // _Valico.ini's [Varie] before
    Keys after;
    const char* box = "";  // the message box's error, if any
  } cases[] = {
      {"28 Olivetti with its port", "BANCO_DS_STAMPANTE=28\r\nBANCO_DS_STAMPANTE_C=4\r\n",
       "Cort_File=x.bmp\r\nCort_Logo=-1\r\n",
       Keys{"Cort_Printer=OLIVETTI PRT100 NonFiscale", "Cort_File=", "Cort_COM=4", "Cort_Logo=0"}},
      {"28 without a port keeps the port", "BANCO_DS_STAMPANTE=28\r\n", "Cort_COM=7\r\n",
       Keys{"Cort_Printer=OLIVETTI PRT100 NonFiscale", "Cort_File=", "Cort_COM=7", "Cort_Logo=0"}},
      {"66 Samsung, no logo file yet", "BANCO_DS_STAMPANTE=66\r\nBANCO_DS_STAMPANTE_C=3\r\n", "",
       Keys{"Cort_Printer=SAMSUNG", "Cort_File=c:\\Caldera\\LogoCassa.bmp", "Cort_COM=3",
            "Cort_Logo=0"}},
      {"66 keeps the logo settings", "BANCO_DS_STAMPANTE=66\r\nBANCO_DS_STAMPANTE_C=Ne01\r\n",
       "CORT_FILE=d:\\logo.bmp\r\nCort_Logo=-1\r\n",
       Keys{"Cort_Printer=SAMSUNG", "Cort_File=d:\\logo.bmp", "Cort_COM=Ne01", "Cort_Logo=-1"}},
      {"111 with default settings", "BANCO_DS_STAMPANTE=111\r\nBANCO_DS_STAMPANTE_C=5\r\n", "",
       Keys{"Cort_COM=5", "Cort_Sett=9600,N,8,1", "Cort_Logo=0"}},
      {"108 without a port empties the port only", "BANCO_DS_STAMPANTE=108\r\n",
       "Cort_Printer=DPT-282\r\nCort_COM=3\r\nCort_Sett=4800,E,7,1\r\n",
       Keys{"Cort_Printer=DPT-282", "Cort_COM=", "Cort_Sett=4800,E,7,1"}},
      {"any other code: no printer", "BANCO_DS_STAMPANTE=5\r\nBANCO_DS_STAMPANTE_C=3\r\n",
       "Cort_Printer=SAMSUNG\r\nCort_Logo=-1\r\n",
       Keys{"Cort_Printer=NON PRESENTE", "Cort_File=", "Cort_COM=", "Cort_Logo=0"}},
      {"code missing: nothing written", "BANCO_DS_STAMPANTE_C=3\r\n", "Cort_Printer=SAMSUNG\r\n",
       Keys{"Cort_Printer=SAMSUNG"}},
      {"code not a number", "BANCO_DS_STAMPANTE=abc\r\nBANCO_DS_STAMPANTE_C=3\r\n",
       "Cort_Printer=SAMSUNG\r\n", Keys{"Cort_Printer=SAMSUNG"},
       "Tipo non corrispondente: BANCO_DS_STAMPANTE = \"abc\""},
      {"code past 16 bits", "BANCO_DS_STAMPANTE=70000\r\nBANCO_DS_STAMPANTE_C=3\r\n",
       "Cort_Printer=SAMSUNG\r\n", Keys{"Cort_Printer=SAMSUNG"},
       "Overflow: BANCO_DS_STAMPANTE = \"70000\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestContext t;
    t.ctx.cfg.IniLocal = "C:\\CALDERA\\_Local.ini";
    t.folder.Write("drive_c/CALDERA/_Local.ini", "[VARIE]\r\n" + c.local);
    t.WriteValico(c.valico);
    Cort_StartUP_Borea(t.ctx.ini, t.ctx.cfg, t.dialogs);
    EXPECT_EQ(CortKeys(t), c.after);
    EXPECT_EQ(t.log.Contains("message box"), *c.box != 0);
    EXPECT_EQ(
        t.log.Contains(std::string("message box: Stampante Cortesia Borea - Errore\r\n") + c.box),
        *c.box != 0);
  }
}

}  // namespace
}  // namespace valico
