// Cost of the settings store: one typed read, which the polling cycle makes several times a
// tick on _Valico.ini, on a real file, on the largest file read and on one refused for its
// size; and one write of a changed value (lock, read, replace, forced to the disk) beside one
// of the value already stored (a read).
#include <benchmark/benchmark.h>

#include "core/testing/test_context.h"

namespace valico {
namespace {

std::string Keys(size_t bytes) {
  std::string body;
  for (int i = 0; body.size() < bytes; ++i)
    body += "Key" + std::to_string(i) + "=Value number " + std::to_string(i) + "\r\n";
  return body;
}

void BM_LeggiVarie(benchmark::State& state) {
  testing::TestContext t;
  t.WriteValico(Keys(static_cast<size_t>(state.range(0))));
  for (auto _ : state) benchmark::DoNotOptimize(t.ctx.ini.LeggiVarie("Key199"));
}
// 200 keys (a real _Valico.ini), the largest file read, a file refused for its size.
BENCHMARK(BM_LeggiVarie)->Arg(7000)->Arg(IniStore::kMaxFileBytes - 100)->Arg(50 << 20);

void BM_ScriviINI(benchmark::State& state) {
  testing::TestContext t;
  t.WriteValico(Keys(7000));
  const bool changed = state.range(0) != 0;
  int n = 0;
  for (auto _ : state)
    t.ctx.ini.ScriviINI("Varie", "Key100", changed && (++n % 2) ? "a" : "b", t.ctx.cfg.IniValico);
}
// The value already stored, then a changed one.
BENCHMARK(BM_ScriviINI)->Arg(0)->Arg(1);

}  // namespace
}  // namespace valico
