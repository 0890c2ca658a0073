#pragma once

#include <string>

#include "platform/diag_log.h"
#include "prebill/prebill_renderer.h"
#include "prebill/serial_prebill.h"
#include "prebill/type_batch.h"
#include "settings/config.h"

namespace valico {

// The pre-bill printer as the intake reaches it: each job goes to the output of the model in
// Cort_Printer (parsed at load, compared exactly and with case), one output per kind of model.
// Any other name ("NON PRESENTE", "", "samsung") prints nothing.
class PrebillDispatch {
 public:
  PrebillDispatch(const Config& cfg, DiagLog& log, PrebillRenderer& renderer, SerialPrebill& serial,
                  TypeBatchHandOff& type_batch)
      : cfg_(cfg), log_(log), renderer_(renderer), serial_(serial), type_batch_(type_batch) {}

  // False when the job must be taken again (see PrebillRenderer); the intake deletes it
  // otherwise.
  bool LanciaFileCort(const std::string& job);

 private:
  const Config& cfg_;
  DiagLog& log_;
  PrebillRenderer& renderer_;     // the models printed on an installed printer
  SerialPrebill& serial_;         // "DPT-282"
  TypeBatchHandOff& type_batch_;  // "TYPE SU SERIALE"
};

}  // namespace valico
