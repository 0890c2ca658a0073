// One customer-display update, from the display file to the screen of a virtual display: what
// a tick spends when Borea has dropped a display file.
#include <benchmark/benchmark.h>

#include "display/customer_display.h"
#include "core/testing/test_context.h"

namespace valico {
namespace {

void BM_DisplayUpdateToVirtualDisplay(benchmark::State& state) {
  testing::TestContext t;
  auto ports = MakeSerialPorts({{1, "display:" + t.folder / "screen.txt"}}, t.log);
  Context ctx(Services{t.files, t.clock, t.log, t.dialogs, t.processes, *ports, t.ftp,
                       RegionalFor("it_IT")},
              t.folder.path());
  ctx.cfg.Display_File = "C:\\Valico\\Display.txt";
  ctx.cfg.Display_Type = "ASEM";
  ctx.mscomm1.SetPort(1);
  CustomerDisplay display(ctx);
  for (auto _ : state) {
    t.folder.Write("drive_c/Valico/Display.txt", "CAFFE        1,20\r\nTOTALE       1,20\r\n");
    display.LanciaFileDLY();
    t.clock.Advance(std::chrono::milliseconds(500));
    display.LanciaFileDLY();
  }
  if (t.folder.Has("drive_c/Valico/Display.txt")) state.SkipWithError("file not taken");
}
BENCHMARK(BM_DisplayUpdateToVirtualDisplay)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace valico
