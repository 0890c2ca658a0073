#include "shell/app_print_system.h"

namespace valico {

std::unique_ptr<PrintSystem> MakeAppPrintSystem(const PrintSystemOptions& options) {
  return MakePrintSystem(options);
}

}  // namespace valico
