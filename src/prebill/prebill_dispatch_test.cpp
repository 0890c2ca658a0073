#include "prebill/prebill_dispatch.h"

#include <gtest/gtest.h>

#include "platform/testing/test_platform.h"
#include "prebill/prebill_renderer.h"
#include "prebill/type_batch.h"

namespace valico {
namespace {

using testing::TestPlatform;

class RecordingRenderer : public PrebillRenderer {
 public:
  bool StampaCortOlivetti(const std::string& job) override { return Record("Olivetti " + job); }
  bool StampaCortSamsung(const std::string& job) override { return Record("Samsung " + job); }
  bool StampaCortSolipos(const std::string& job) override { return Record("Solipos " + job); }
  bool Record(std::string call) {
    calls.push_back(std::move(call));
    return true;
  }
  std::vector<std::string> calls;
};

TEST(PrebillDispatchTest, ModelNameChoosesTheRoutineExactly) {
  struct {
    const char* model;
    const char* renderer_call;  // "" when the renderer is not called
    bool serial, batch;
  } cases[] = {
      {"OLIVETTI PRT100 NonFiscale", "Olivetti", false, false},
      {"SAMSUNG", "Samsung", false, false},
      {"SOLIPOS CALDERA", "Solipos", false, false},
      {"DPT-282", "", true, false},
      {"TYPE SU SERIALE", "", false, true},
      {"NON PRESENTE", "", false, false},
      {"samsung", "", false, false},
      {"DPT-282 ", "", false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.model);
    TestPlatform t;
    Config cfg;
    RecordingRenderer renderer;
    SerialControl port(t.serial, t.log, "pre-bill port");
    SerialPrebill serial(cfg, t.regional, port, t.files, t.log, t.dialogs);
    TypeBatchHandOff type_batch(t.files, t.processes, t.log);
    cfg.Cort_Printer = c.model;
    cfg.Cort_Com = TypedValue::FromInt(2);
    cfg.Cort_Sett = "9600,N,8,1";
    ParseChoices(cfg);
    t.folder.Write("drive_c/Valico/TypeBatch/ValicoType.bat", "");
    t.folder.Write("CortIN/job", "N2:01:x\r\n");
    std::string job = t.InFolder("CortIN\\job");
    PrebillDispatch(cfg, t.log, renderer, serial, type_batch).LanciaFileCort(job);
    EXPECT_EQ(renderer.calls,
              *c.renderer_call ? std::vector<std::string>{std::string(c.renderer_call) + " " + job}
                               : std::vector<std::string>{});
    EXPECT_EQ(t.serial.ports.size(), c.serial ? 1u : 0u);
    EXPECT_EQ(t.processes.started.size(), c.batch ? 1u : 0u);
    // The serial and batch routines delete the job themselves; the intake deletes the rest.
    EXPECT_EQ(t.files.Exists(job), !(c.serial || c.batch));
  }
}

}  // namespace
}  // namespace valico
