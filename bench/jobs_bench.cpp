// What the scheduler and the FTP request check add to every tick: the tick within a minute
// already handled (one read of _Valico.ini for FTP_Azione), and the first tick of a new
// minute (the scheduler file read, no entry for the minute).
#include <benchmark/benchmark.h>

#include "core/testing/test_context.h"
#include "jobs/jobs_runner.h"

namespace valico {
namespace {

void Setup(testing::TestContext& t) {
  t.WriteValico(
      "Borea_Directory=C:\\CALDERA\r\nOP_Attive=-1\r\nPostazione=SERVER\r\nFTP_Indirizzo=h\r\n"
      "FTP_User=u\r\nFTP_Pw=p\r\nFTP_Azione=\r\nFTP_Finish=Finito\r\nFTP_Esito=-1\r\n"
      "OP_LAST=04122026#VEN#0300\r\n");
  std::string sched = "[VARIE]\r\n";
  for (const char* slot : {"LUN#0300", "MAR#0300", "MER#0300", "GIO#0300", "VEN#0300"})
    sched += std::string(slot) + "=2#NOTTE#\r\n";
  t.folder.Write("drive_c/CALDERA/_Schedulatore.ini", sched);
  t.ctx.cfg.DirBorea = "C:\\CALDERA";
  t.ctx.cfg.IniLocal = "C:\\CALDERA\\_Local.ini";
  t.ctx.cfg.OP_Attive = true;
}

void BM_JobsTickSameMinute(benchmark::State& state) {
  testing::TestContext t;
  Setup(t);
  JobsRunner runner(t.ctx.svc, t.ctx.ini, t.settings, t.ctx.cfg);
  runner.Tick();
  for (auto _ : state) runner.Tick();
}
BENCHMARK(BM_JobsTickSameMinute);

void BM_JobsTickNewMinute(benchmark::State& state) {
  testing::TestContext t;
  Setup(t);
  JobsRunner runner(t.ctx.svc, t.ctx.ini, t.settings, t.ctx.cfg);
  LocalTime now{2026, 12, 5, 8, 0, 0, 6};
  for (auto _ : state) {
    now.minute = (now.minute + 1) % 60;
    t.clock.SetLocal(now);
    runner.Tick();
  }
}
BENCHMARK(BM_JobsTickNewMinute);

}  // namespace
}  // namespace valico
