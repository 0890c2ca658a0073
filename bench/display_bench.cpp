// One customer-display update, from the display file to the screen of a virtual display: what
// a tick spends when Borea has dropped a display file.
#include <benchmark/benchmark.h>

#include "display/customer_display.h"
#include "display/virtual_display.h"
#include "platform/testing/test_platform.h"

namespace valico {
namespace {

void BM_DisplayUpdateToVirtualDisplay(benchmark::State& state) {
  testing::TestPlatform t;
  auto ports = MakeSerialPorts({{1, "display:" + t.folder / "screen.txt"}}, t.log);
  SerialControl port(*ports, t.log, "display port");
  Config cfg;
  cfg.Display_File = "C:\\Valico\\Display.txt";
  cfg.Display_Type = "ASEM";
  port.SetPort(1);
  CustomerDisplay display(cfg, t.files, t.clock, t.watch, t.log, port);
  for (auto _ : state) {
    t.folder.Write("drive_c/Valico/Display.txt", "CAFFE        1,20\r\nTOTALE       1,20\r\n");
    display.LanciaFileDLY();
  }
  if (t.folder.Has("drive_c/Valico/Display.txt")) state.SkipWithError("file not taken");
}
BENCHMARK(BM_DisplayUpdateToVirtualDisplay)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace valico
