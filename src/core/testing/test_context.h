#pragma once

#include "core/context.h"
#include "platform/testing/test_platform.h"
#include "printing/testing/recording_print_system.h"
#include "settings/ini_snapshot.h"

namespace valico::testing {

// A Context over a fresh program folder (see TestPlatform), with _Valico.ini's path set and
// a snapshot of it for the routines that read it once per tick. Documents go straight to the
// recording printing system (no queue, no workers).
class TestContext : public TestPlatform {
 public:
  TestContext() : TestContext(nullptr) {}
  // With a real (or another) FTP client in place of the failing one, and other message boxes
  // in place of the headless ones.
  explicit TestContext(FtpClient* ftp_client, Dialogs* other_dialogs = nullptr)
      : ctx(Services{files, clock, watch, log, other_dialogs ? *other_dialogs : dialogs, processes,
                     serial, ftp_client ? *ftp_client : ftp, printing, regional},
            folder.path(), PrintQueueOptions::Mode::kDirect),
        settings(ctx.ini, files, ctx.InProgramFolder("_Valico.ini")) {
    ctx.cfg.IniValico = ctx.InProgramFolder("_Valico.ini");
    ctx.ini.SetValicoIni(ctx.cfg.IniValico);
  }

  RecordingPrintSystem printing;  // no printers installed unless a test declares some
  Context ctx;
  IniSnapshot settings;
};

}  // namespace valico::testing
