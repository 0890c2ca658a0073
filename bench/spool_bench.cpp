// The polling cycle's cost when there is nothing to do, and one intake pass over many jobs.
#include <benchmark/benchmark.h>

#include "core/testing/test_context.h"
#include "spool/device_handlers.h"
#include "spool/polling_cycle.h"

namespace valico {
namespace {

class NoDevices : public DeviceHandlers {
 public:
  void LanciaFileDLY() override {}
  void InviaFileMF(const std::string&) override {}
  void LanciaFileRF() override {}
  void LanciaFileCort(const std::string&) override {}
};

// A _Valico.ini as a shop has it: every device key, fiscal register and pre-bills active.
const char* kTypicalIni =
    "Borea_Setting=-1\r\nBorea_Directory=C:\\CALDERA\r\nRunTimeBorea=C:\\Programmi\\Access 97 "
    "Runtime\\msaccess.exe\r\nMF_Vuoto=-1\r\nRF_Vuoto=-1\r\nCort_Vuoto=-1\r\n"
    "Display_Active=-1\r\nDisplay_File=C:\\Valico\\Display.txt\r\nDisplay_Type=ASEM\r\n"
    "Display_COM=1\r\nDisplay_Parametri=9600,N,8,1\r\nMF_Active=-1\r\n"
    "MF_File=C:\\CALDERA\\Casio\\CAS.txt\r\nMF_File_Output=\r\nMF_Type=24 - DITRON ZIP\r\n"
    "MF_Prot=CASIO/DITRON - 24\r\nMF_COM=2\r\nMF_Parametri=9600,N,8,1\r\nMF_Buffer=0\r\n"
    "MF_Ritardo=50\r\nRF_Active=0\r\nRF_Stampante=\r\nRF_Seriale=\r\nRF_File=\r\nRF_Righe=\r\n"
    "CORT_Active=-1\r\nCORT_Printer=SAMSUNG\r\nCORT_File=c:\\Caldera\\LogoCassa.bmp\r\n"
    "CORT_COM=3\r\nCORT_Logo=0\r\nFTP_Indirizzo=ftp.example.com\r\nFTP_User=shop\r\n"
    "FTP_Pw=secret\r\nWEB_chkDial=0\r\nOP_LAST=05122026#SAB#0830\r\n";

void BM_IdleTick(benchmark::State& state) {
  testing::TestContext t;
  t.WriteValico(kTypicalIni);
  Config& c = t.ctx.cfg;
  c.Display_Active = c.MF_Active = c.Cort_Active = true;
  c.Display_File = "C:\\Valico\\Display.txt";
  c.MF_File = "C:\\CALDERA\\Casio\\CAS.txt";
  NoDevices devices;
  PollingCycle cycle(t.files, t.clock, t.log, t.ctx.ini, t.ctx.cfg, devices);
  for (auto _ : state) cycle.Timer1_Timer();
}
BENCHMARK(BM_IdleTick);

void BM_IntakePassOf1000Jobs(benchmark::State& state) {
  testing::TestContext t;
  NoDevices devices;
  Intake intake(t.files, t.clock, t.log, t.ctx.ini, devices);
  std::string drop = t.ctx.InProgramFolder("Borea"), in = t.ctx.InProgramFolder("IN");
  for (auto _ : state) {
    state.PauseTiming();
    for (int i = 0; i < 1000; ++i) t.folder.Write("Borea/job" + std::to_string(i), "x");
    intake.PrelevaSpool(drop, t.ctx.cfg.IniValico, in, SpoolKind::kReceipt);  // first sighting only
    t.clock.Advance(Intake::kSettleTime);
    state.ResumeTiming();
    // Ten passes of at most 101 jobs each take them all.
    for (int pass = 0; pass < 10; ++pass)
      intake.PrelevaSpool(drop, t.ctx.cfg.IniValico, in, SpoolKind::kPrebill);
  }
}
BENCHMARK(BM_IntakePassOf1000Jobs)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace valico
