#pragma once

#include "core/testing/test_context.h"
#include "jobs/transfer_services.h"

namespace valico::testing {

// The transfer services of a test context; its process starter unless another is given.
inline TransferServices TransferOf(TestContext& t, Processes* processes = nullptr) {
  return TransferServices{t.ctx.ini,
                          t.files,
                          t.log,
                          processes ? *processes : t.processes,
                          t.ctx.svc.ftp,
                          t.ctx.svc.regional,
                          t.ctx.program_folder()};
}

}  // namespace valico::testing
