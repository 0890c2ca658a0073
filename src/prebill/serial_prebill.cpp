#include "prebill/serial_prebill.h"

#include <vector>

#include "prebill/job_formats.h"
#include "platform/text_lines.h"
#include "core/context.h"

namespace valico {
namespace {

// Sends `bytes` unless an earlier write of the same print failed: once the printer stops
// taking bytes, the rest of the print would only wait for it, write after write.
void Send(SerialControl& port, std::string_view bytes, bool* ok) {
  if (*ok) *ok = port.Write(bytes);
}

}  // namespace

void SetUpComPreconto(Context& ctx) {
  SerialControl& port = ctx.com_preconto;
  if (auto n = ctx.cfg.Cort_Com.ToInt16(ctx.svc.regional)) {
    port.SetPort(*n);
  } else {
    ctx.svc.log.Warn("pre-bill port: Cort_Com \"" + ctx.cfg.Cort_Com.ToText(ctx.svc.regional) +
                     "\" is not a port number; staying on COM" + std::to_string(port.port()));
  }
  port.SetSettings(ctx.cfg.Cort_Sett);
  port.SetBuffers(2048, 1024);
}

void StampaCortDPT(Context& ctx, const std::string& job) {
  SerialControl& port = ctx.com_preconto;
  SetUpComPreconto(ctx);
  bool ok = port.IsOpen() || port.Open();

  std::vector<std::string> lines;
  std::string err;
  if (!ReadTextLines(ctx.svc.files, job, &lines, &err)) {
    ctx.svc.log.Warn("DPT-282: cannot read pre-bill job " + job + ": " + err +
                     "; only the blank lines and the cut are sent");
  }
  if (ok) {
    for (const std::string& line : lines) {
      if (auto text = TextOfN2Line(line)) Send(port, *text + std::string(kPrebillLineEnd), &ok);
    }
    for (int i = 0; i < 5; ++i) Send(port, kPrebillBlankLine, &ok);
    Send(port, kPrebillCut, &ok);
    if (!ok) ctx.svc.log.Warn("DPT-282: pre-bill job " + job + " was cut short");
  } else {
    ctx.svc.log.Warn("DPT-282: pre-bill job " + job + " not printed: the port did not open");
  }
  port.Close();
  if (!ctx.svc.files.Remove(job, &err)) {
    ctx.svc.log.Debug("DPT-282: cannot delete pre-bill job " + job + ": " + err);
  }
}

bool Command1_Click(Context& ctx) {
  SerialControl& port = ctx.com_preconto;
  SetUpComPreconto(ctx);
  std::string err;
  bool ok = port.IsOpen() || port.Open(&err);
  if (ok) ok = port.Write(kPrebillTestText, &err);
  for (int i = 0; ok && i < 5; ++i) ok = port.Write(kPrebillBlankLine, &err);
  if (ok) ok = port.Write(kPrebillCut, &err);
  // Closed on failure too, so a failed test does not keep the port from other programs.
  port.Close();
  if (!ok) ctx.svc.dialogs.Message("Errore: " + err);
  return ok;
}

}  // namespace valico
