#pragma once

#include <memory>

#include "printing/print_system.h"

namespace valico {

// The printing system the program runs with (one file per OS).
std::unique_ptr<PrintSystem> MakeAppPrintSystem(const PrintSystemOptions& options);

}  // namespace valico
