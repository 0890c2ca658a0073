#include "prebill/serial_prebill.h"

#include <algorithm>
#include <vector>

#include "core/text_lines.h"
#include "prebill/job_formats.h"

namespace valico {
namespace {

// The bytes of a job: the text of its "N2" lines, each with CR LF, five blank lines and the cut.
std::string PrebillBytes(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) {
    if (auto text = TextOfN2Line(line)) (bytes += *text) += kPrebillLineEnd;
  }
  for (int i = 0; i < 5; ++i) bytes += kPrebillBlankLine;
  bytes += kPrebillCut;
  return bytes;
}

// Sends `bytes` in writes of at most the port's output buffer (one write for a pre-bill of
// that size), each bounded by the port's write timeout. Once the printer stops taking bytes
// the rest is not tried: it would only wait for it, write after write.
bool Send(SerialControl& port, std::string_view bytes) {
  const std::size_t chunk = std::max<std::size_t>(port.output_buffer(), 1);
  for (std::size_t at = 0; at < bytes.size(); at += chunk) {
    if (!port.Write(bytes.substr(at, chunk))) return false;
  }
  return true;
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
  if (!port_.IsOpen()) SetUpComPreconto();
  bool ok = port_.IsOpen() || port_.Open();

  std::vector<std::string> lines;
  std::string err;
  if (!ReadTextLines(files_, job, &lines, &err)) {
    log_.Warn("DPT-282: cannot read pre-bill job " + files_.Native(job) + ": " + err +
              "; only the blank lines and the cut are sent");
  }
  if (ok) {
    ok = Send(port_, PrebillBytes(lines));
    if (!ok) log_.Warn("DPT-282: pre-bill job " + files_.Native(job) + " was cut short");
  } else {
    log_.Warn("DPT-282: pre-bill job " + files_.Native(job) +
              " not printed: the port did not open");
  }
  // A printer that stopped taking bytes gets a fresh opening at the next job.
  if (!keep_open_ || !ok) port_.Close();
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
