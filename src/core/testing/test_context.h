#pragma once

#include "core/context.h"
#include "platform/testing/test_platform.h"
#include "printing/testing/recording_print_system.h"

namespace valico::testing {

// A Context over a fresh program folder (see TestPlatform), with _Valico.ini's path set.
class TestContext : public TestPlatform {
 public:
  TestContext() : TestContext(nullptr) {}
  // With a real (or another) FTP client in place of the failing one.
  explicit TestContext(FtpClient* ftp_client)
      : ctx(Services{files, clock, log, dialogs, processes, serial, ftp_client ? *ftp_client : ftp,
                     printing, regional},
            folder.path()) {
    ctx.cfg.IniValico = ctx.InProgramFolder("_Valico.ini");
    ctx.cfg.DirProgramma = ctx.program_folder();
    ctx.ini.SetValicoIni(ctx.cfg.IniValico);
  }

  RecordingPrintSystem printing;  // no printers installed unless a test declares some
  Context ctx;
};

}  // namespace valico::testing
