#pragma once

#include <string>

#include "platform/diag_log.h"
#include "prebill/prebill_renderer.h"
#include "prebill/serial_prebill.h"
#include "prebill/type_batch.h"
#include "settings/config.h"

namespace valico {

// The outputs a pre-bill job can go to, one per kind of model.
struct PrebillOutputs {
  PrebillRenderer& renderer;     // the models printed on an installed printer
  SerialPrebill& serial;         // "DPT-282"
  TypeBatchHandOff& type_batch;  // "TYPE SU SERIALE"
};

// Hands one pre-bill job to the output of the model in Cort_Printer (parsed at load, compared
// exactly and with case). Any other name ("NON PRESENTE", "", "samsung") prints nothing.
// False when the job must be taken again (see PrebillRenderer); the intake deletes it
// otherwise.
bool LanciaFileCort(const Config& cfg, DiagLog& log, const PrebillOutputs& out,
                    const std::string& job);

}  // namespace valico
