// The polling cycle's cost when there is nothing to do, and one intake pass over many jobs.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "core/testing/test_context.h"
#include "platform/folder_watch.h"
#include "spool/device_handlers.h"
#include "spool/polling_cycle.h"

namespace valico {
namespace {

class NoDevices : public DeviceHandlers {
 public:
  void LanciaFileDLY() override {}
  void InviaFileMF(const std::string&) override {}
  void LanciaFileRF() override {}
  bool LanciaFileCort(const std::string&) override { return true; }
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

// Puts _Valico.ini's time stamps an hour back, as a file nobody touched lately: a file written
// this instant is read again at every tick, since its stamps could not show the next change.
void Age(const testing::TestContext& t) {
  std::filesystem::path p = t.Native(t.ctx.cfg.IniValico);
  std::filesystem::last_write_time(p, std::filesystem::last_write_time(p) - std::chrono::hours(1));
}

void BM_IdleTick(benchmark::State& state) {
  testing::TestContext t;
  t.WriteValico(kTypicalIni);
  Age(t);
  Config& c = t.ctx.cfg;
  c.Display_Active = c.MF_Active = c.Cort_Active = true;
  c.Display_File = "C:\\Valico\\Display.txt";
  c.MF_File = "C:\\CALDERA\\Casio\\CAS.txt";
  NoDevices devices;
  auto watch = MakeFolderWatch(t.log);
  PollingCycle cycle(t.files, t.log, *watch, t.settings, t.ctx.cfg, devices);
  for (auto _ : state) cycle.Timer1_Timer();
  state.counters["reads"] = static_cast<double>(t.settings.reads());
}
BENCHMARK(BM_IdleTick);

// Ticks on a settings file far beyond any real one, just written: each reads it (the first
// ticks after a change), then an older one: looked at, not read.
void BM_TicksOnA50MBSettingsFile(benchmark::State& state) {
  testing::TestContext t;
  std::string body(kTypicalIni);
  std::string filler;
  for (int i = 0; filler.size() < 50u * 1024 * 1024; ++i)
    filler += "Chiave" + std::to_string(i) + "=un valore qualsiasi di prova\r\n";
  t.WriteValico(body + filler);
  t.ctx.cfg.MF_Active = t.ctx.cfg.Cort_Active = true;
  t.ctx.cfg.MF_File = "C:\\CALDERA\\Casio\\CAS.txt";
  NoDevices devices;
  IniSnapshot settings(t.ctx.ini, t.files, t.ctx.cfg.IniValico);
  PollingCycle cycle(t.files, t.log, t.watch, settings, t.ctx.cfg, devices);
  for (auto _ : state) cycle.Timer1_Timer();
  state.counters["reads"] = static_cast<double>(settings.reads());
}
BENCHMARK(BM_TicksOnA50MBSettingsFile)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_TicksOnAnUnchanged50MBSettingsFile(benchmark::State& state) {
  testing::TestContext t;
  std::string filler;
  for (int i = 0; filler.size() < 50u * 1024 * 1024; ++i)
    filler += "Chiave" + std::to_string(i) + "=un valore qualsiasi di prova\r\n";
  t.WriteValico(kTypicalIni + filler);
  Age(t);
  t.ctx.cfg.MF_Active = t.ctx.cfg.Cort_Active = true;
  t.ctx.cfg.MF_File = "C:\\CALDERA\\Casio\\CAS.txt";
  NoDevices devices;
  IniSnapshot settings(t.ctx.ini, t.files, t.ctx.cfg.IniValico);
  PollingCycle cycle(t.files, t.log, t.watch, settings, t.ctx.cfg, devices);
  cycle.Timer1_Timer();  // reads it once
  for (auto _ : state) cycle.Timer1_Timer();
  state.counters["reads"] = static_cast<double>(settings.reads());
}
BENCHMARK(BM_TicksOnAnUnchanged50MBSettingsFile)->Unit(benchmark::kMicrosecond);

void BM_IntakePassOf1000Jobs(benchmark::State& state) {
  testing::TestContext t;
  NoDevices devices;
  Intake intake(t.files, t.log, t.watch, t.settings, devices);
  std::string drop = t.ctx.InProgramFolder("Borea"), in = t.ctx.InProgramFolder("IN");
  for (auto _ : state) {
    state.PauseTiming();
    for (int i = 0; i < 1000; ++i) t.folder.Write("Borea/job" + std::to_string(i), "x");
    state.ResumeTiming();
    // Ten passes of at most 101 jobs each take them all.
    for (int pass = 0; pass < 10; ++pass)
      intake.PrelevaSpool(drop, t.ctx.cfg.IniValico, in, SpoolKind::kPrebill);
  }
}
BENCHMARK(BM_IntakePassOf1000Jobs)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace valico
