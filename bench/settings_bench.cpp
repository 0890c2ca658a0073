// Cost of one typed read, which the polling cycle makes twice a second on _Valico.ini.
#include <benchmark/benchmark.h>

#include "core/testing/test_context.h"

namespace valico {
namespace {

void BM_LeggiVarieOn200Keys(benchmark::State& state) {
  testing::TestContext t;
  std::string body;
  for (int i = 0; i < 200; ++i)
    body += "Key" + std::to_string(i) + "=Value number " + std::to_string(i) + "\r\n";
  t.WriteValico(body);
  for (auto _ : state) benchmark::DoNotOptimize(t.ctx.ini.LeggiVarie("Key199"));
}
BENCHMARK(BM_LeggiVarieOn200Keys);

}  // namespace
}  // namespace valico
