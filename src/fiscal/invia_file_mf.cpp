#include "fiscal/invia_file_mf.h"

#include <cstdio>

#include "fiscal/attesa.h"
#include "fiscal/mf_log.h"

namespace valico {
namespace {

constexpr int kCasioMaxWaits = 5;    // the job is dropped when MF_File is still there after 6
constexpr int kGlobeMaxCount = 100;  // 102 delays in all

bool EndsWith(const std::string& s, std::string_view tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

void FiscalHandOff::Log(const std::string& message) {
  if (cfg_.MF_ChkLog) ScriviLog(files_, clock_, log_, kMFLog, message);
}

void FiscalHandOff::Warn(const std::string& what, const std::string& err) {
  log_.Warn("fiscal register: " + what + ": " + err);
}

void FiscalHandOff::CopyOver(const std::string& from, const std::string& to) {
  std::string err;
  if (!files_.Copy(from, to, &err)) Warn("copy failed", err);
}

void FiscalHandOff::RemoveIfThere(const std::string& path) {
  std::string err;
  if (files_.IsFile(path) && !files_.Remove(path, &err)) Warn("delete failed", err);
}

void FiscalHandOff::InviaCasio(const std::string& job) {
  // The driver removes MF_File once it has taken the previous job.
  for (int count = 0; files_.IsFile(cfg_.MF_File); ++count) {
    if (count > kCasioMaxWaits) {
      Log("Invio file annullato: " + job);
      log_.Warn("fiscal register: " + files_.Native(cfg_.MF_File) +
                " was not taken by the driver; job " + files_.Native(job) + " dropped");
      return;
    }
    Log("Loop in attesa di liberare " + cfg_.MF_File);
    Attesa(clock_, cfg_.MF_Ritardo);
  }
  Log("Invio file: " + job);
  if (!EndsWith(job, "DLY_ZIP.TXT")) Attesa(clock_, cfg_.MF_Ritardo);
  CopyOver(job, cfg_.MF_File);
}

void FiscalHandOff::InviaGlobe(const std::string& job) {
  const std::string no_answer =
      "File scontrino: " + job + " - non ha generato file di output " + cfg_.MF_File_Output;
  std::string err;
  if (!files_.Copy(job, cfg_.MF_File, &err)) {
    // Starting the driver now would print whatever MF_File still holds: an earlier receipt.
    Warn("job " + files_.Native(job) + " not handed to the driver, copy failed", err);
    Log(no_answer);
    return;
  }
  ProcessId pid = processes_.Start(cfg_.MF_Driver, WindowState::kMinimizedNoFocus, &err);
  if (pid == 0) {
    // No driver runs, so no answer can come: withdraw the job now rather than freeze every
    // other device for 102 delays.
    log_.Error("fiscal register: driver not started (" + err + "); job " + files_.Native(job) +
               " withdrawn");
    RemoveIfThere(cfg_.MF_File);
    Log(no_answer);
    return;
  }
  int count = 0;
  for (;;) {
    Attesa(clock_, cfg_.MF_Ritardo);
    if (files_.IsFile(cfg_.MF_File_Output) || count > kGlobeMaxCount) break;
    ++count;
  }
  if (!files_.IsFile(cfg_.MF_File_Output)) {
    log_.Warn("fiscal register: the driver wrote no " + files_.Native(cfg_.MF_File_Output) +
              "; job " + files_.Native(job) + " withdrawn");
    RemoveIfThere(cfg_.MF_File);
    Log(no_answer);
  } else {
    RemoveIfThere(cfg_.MF_File_Output);
  }
}

void FiscalHandOff::InviaFPMate() {
  const std::string epson = JoinPath(cfg_.DirBorea, "Epson");
  if (cfg_.MF_Buffer) {
    ScaricaBufferMF("Scontr.xml", epson);
    return;
  }
  // MF_File goes only once its copy is there: a failed copy must not lose the receipt.
  std::string err;
  if (!files_.Copy(cfg_.MF_File, JoinPath(epson, "Scontr.xml"), &err)) {
    Warn("receipt kept in " + files_.Native(cfg_.MF_File), err);
    return;
  }
  RemoveIfThere(cfg_.MF_File);
}

void FiscalHandOff::InviaFileMF(const std::string& file_lavoro) {
  switch (cfg_.mf_protocol) {
    case MfProtocol::kCasio:
      InviaCasio(file_lavoro);
      break;
    case MfProtocol::kGlobe:
      InviaGlobe(file_lavoro);
      break;
    case MfProtocol::kFPMate:
      InviaFPMate();
      break;
    case MfProtocol::kOther:
      break;
  }
}

void FiscalHandOff::ScaricaBufferMF(const std::string& nome_file, const std::string& cartella) {
  const std::string target = JoinPath(cartella, nome_file);
  for (int slot = 1; slot <= 20; ++slot) {
    char name[8];
    std::snprintf(name, sizeof name, "#%04d", slot);
    const std::string buffered = JoinPath(JoinPath(cfg_.DirBorea, "_Buffer"), name);
    if (!files_.IsFile(buffered) || files_.Exists(target)) continue;
    std::string err;
    if (!files_.Rename(buffered, target, &err)) Warn("buffer not moved", err);
  }
}

}  // namespace valico
