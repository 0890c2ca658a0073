#pragma once

#include <array>
#include <string>
#include <string_view>

namespace valico {

class Context;
class PrebillRenderer;
class TypeBatchHandOff;

// The pre-bill printer models in the order the window lists them.
inline constexpr std::array<std::string_view, 6> kCortPrinterModels = {
    "OLIVETTI PRT100 NonFiscale",
    "SAMSUNG",
    "DPT-282",
    "NON PRESENTE",
    "SOLIPOS CALDERA",
    "TYPE SU SERIALE",
};

// Hands one pre-bill job to the output routine of the model in Cort_Printer, compared exactly
// and with case. Any other name ("NON PRESENTE", "", "samsung") prints nothing; the intake
// deletes the job either way.
void LanciaFileCort(Context& ctx, PrebillRenderer& renderer, TypeBatchHandOff& type_batch,
                    const std::string& job);

}  // namespace valico
