#pragma once

#include <string>
#include <vector>

#include "platform/diag_log.h"
#include "platform/files.h"
#include "platform/regional.h"
#include "settings/config.h"

namespace valico {

// Renders the pre-bill job `job` (a settings path) of `model` as preview files in
// `native_folder`, as it prints on an installed printer whose device name is `device` (for
// "SAMSUNG" the name picks the family: "500", "350", else "103"). The logo is the settings'
// (Cort_Logo, LogoCassa.bmp in DirBorea). The job file itself is left as it is. *written
// receives the preview files, one set per document. False with the reason when `model` is
// not one that prints on an installed printer, or the previews cannot be written.
bool RenderPrebill(CortModel model, const std::string& job, const std::string& device,
                   const Config& cfg, const Files& files, const Regional& regional, DiagLog& log,
                   const std::string& native_folder, std::vector<std::string>* written,
                   std::string* err);

}  // namespace valico
