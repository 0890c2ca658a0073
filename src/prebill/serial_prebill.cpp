#include "prebill/serial_prebill.h"

#include <vector>

#include "platform/text_lines.h"
#include "prebill/job_formats.h"

namespace valico {
namespace {

// Sends `bytes` unless an earlier write of the same print failed: once the printer stops
// taking bytes, the rest of the print would only wait for it, write after write.
void Send(SerialControl& port, std::string_view bytes, bool* ok) {
  if (*ok) *ok = port.Write(bytes);
}

}  // namespace

std::optional<std::int16_t> SerialPrebill::PortNumber(std::string* why) const {
  auto n = cfg_.Cort_Com.ToInt16(regional_);
  if (!n) *why = "Cort_Com \"" + cfg_.Cort_Com.ToText(regional_) + "\" is not a port number";
  return n;
}

void SerialPrebill::SetUpComPreconto() {
  std::string why;
  if (auto n = PortNumber(&why)) {
    port_.SetPort(*n);
  } else {
    log_.Warn("pre-bill port: " + why + "; staying on COM" + std::to_string(port_.port()));
  }
  port_.SetSettings(cfg_.Cort_Sett);
  port_.SetBuffers(2048, 1024);
}

void SerialPrebill::StampaCortDPT(const std::string& job) {
  SetUpComPreconto();
  bool ok = port_.IsOpen() || port_.Open();

  std::vector<std::string> lines;
  std::string err;
  if (!ReadTextLines(files_, job, &lines, &err)) {
    log_.Warn("DPT-282: cannot read pre-bill job " + files_.Native(job) + ": " + err +
              "; only the blank lines and the cut are sent");
  }
  if (ok) {
    for (const std::string& line : lines) {
      if (auto text = TextOfN2Line(line)) Send(port_, *text + std::string(kPrebillLineEnd), &ok);
    }
    for (int i = 0; i < 5; ++i) Send(port_, kPrebillBlankLine, &ok);
    Send(port_, kPrebillCut, &ok);
    if (!ok) log_.Warn("DPT-282: pre-bill job " + files_.Native(job) + " was cut short");
  } else {
    log_.Warn("DPT-282: pre-bill job " + files_.Native(job) +
              " not printed: the port did not open");
  }
  port_.Close();
  if (!files_.Remove(job, &err)) {
    log_.Debug("DPT-282: cannot delete pre-bill job " + files_.Native(job) + ": " + err);
  }
}

bool SerialPrebill::Command1_Click() {
  // Taking the port number from Cort_Com is the test's first step: a Cort_Com that is not a
  // number ends the test before anything is sent.
  std::string err;
  bool ok = PortNumber(&err).has_value();
  if (ok) {
    SetUpComPreconto();
    ok = port_.IsOpen() || port_.Open(&err);
  }
  if (ok) ok = port_.Write(kPrebillTestText, &err);
  for (int i = 0; ok && i < 5; ++i) ok = port_.Write(kPrebillBlankLine, &err);
  if (ok) ok = port_.Write(kPrebillCut, &err);
  // Closed on failure too, so a failed test does not keep the port from other programs.
  port_.Close();
  if (!ok) dialogs_.Message("Errore: " + err);
  return ok;
}

}  // namespace valico
