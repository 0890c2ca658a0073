// What a fiscal hand-off costs beyond its waits: starting a program and waiting for its end,
// and a whole Globe hand-off with a driver that answers at once (one delay of 10 ms included).
#include <benchmark/benchmark.h>

#include "fiscal/invia_file_mf.h"
#include "platform/testing/test_platform.h"
#include "platform/testing/test_programs.h"

namespace valico {
namespace {

using testing::TestProgram;

// A native path in double quotes, as a command line carries it.
std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

void BM_StartAndWait(benchmark::State& state) {
  testing::TempFolder folder;
  PathMapper mapper(PathMapper::Options{folder.path(), {}});
  Files files(mapper);
  testing::RecordingLog log;
  auto processes = MakeProcesses(log, files, "wine");
  std::string line = Quoted(TestProgram("process_probe")) + " " + Quoted(folder / "out") + " 0";
  for (auto _ : state) {
    std::string err;
    ProcessId pid = processes->Start(line, WindowState::kHidden, &err);
    if (pid == 0) state.SkipWithError(err.c_str());
    processes->Wait(pid, std::chrono::milliseconds(-1));
  }
}
BENCHMARK(BM_StartAndWait)->Unit(benchmark::kMillisecond);

void BM_GlobeHandOffAnsweredAtOnce(benchmark::State& state) {
  testing::TempFolder folder;
  folder.Write("drive_c/Globe/.keep", "");
  PathMapper mapper(PathMapper::Options{folder.path(), {{'C', folder / "drive_c"}}});
  Files files(mapper);
  SystemClock clock;
  testing::RecordingLog log;
  auto processes = MakeProcesses(log, files, "wine");
  Config cfg;
  cfg.MF_Prot = kProtGlobe;
  cfg.MF_File = "C:\\Globe\\in.txt";
  cfg.MF_File_Output = "C:\\Globe\\out.txt";
  cfg.MF_Ritardo = 1;
  cfg.MF_Driver = Quoted(TestProgram("fake_fiscal_driver")) + " answer " +
                  Quoted(mapper.ToNative("C:\\Globe")) + " 0";
  ParseChoices(cfg);
  FiscalHandOff mf(cfg, files, clock, log, *processes);
  folder.Write("IN/job.txt", "receipt\r\n");
  for (auto _ : state) mf.InviaFileMF(JoinPath(folder.path(), "IN\\job.txt"));
}
BENCHMARK(BM_GlobeHandOffAnsweredAtOnce)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace valico
