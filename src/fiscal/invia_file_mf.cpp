#include "fiscal/invia_file_mf.h"

#include <cstdio>

#include "fiscal/attesa.h"
#include "fiscal/mf_log.h"
#include "core/context.h"

namespace valico {
namespace {

constexpr int kCasioMaxWaits = 5;    // the job is dropped when MF_File is still there after 6
constexpr int kGlobeMaxCount = 100;  // 102 delays in all

void Log(Context& ctx, const std::string& message) {
  if (ctx.cfg.MF_ChkLog) ScriviLog(ctx, kMFLog, message);
}

bool EndsWith(const std::string& s, std::string_view tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

void Warn(Context& ctx, const std::string& what, const std::string& err) {
  ctx.svc.log.Warn("fiscal register: " + what + ": " + err);
}

void CopyOver(Context& ctx, const std::string& from, const std::string& to) {
  std::string err;
  if (!ctx.svc.files.Copy(from, to, &err)) Warn(ctx, "copy failed", err);
}

void RemoveIfThere(Context& ctx, const std::string& path) {
  std::string err;
  if (ctx.svc.files.IsFile(path) && !ctx.svc.files.Remove(path, &err))
    Warn(ctx, "delete failed", err);
}

void InviaCasio(Context& ctx, const std::string& job) {
  const Config& cfg = ctx.cfg;
  // The driver removes MF_File once it has taken the previous job.
  for (int count = 0; ctx.svc.files.IsFile(cfg.MF_File); ++count) {
    if (count > kCasioMaxWaits) {
      Log(ctx, "Invio file annullato: " + job);
      ctx.svc.log.Warn("fiscal register: " + cfg.MF_File + " was not taken by the driver; job " +
                       job + " dropped");
      return;
    }
    Log(ctx, "Loop in attesa di liberare " + cfg.MF_File);
    Attesa(ctx.svc.clock, cfg.MF_Ritardo);
  }
  Log(ctx, "Invio file: " + job);
  if (!EndsWith(job, "DLY_ZIP.TXT")) Attesa(ctx.svc.clock, cfg.MF_Ritardo);
  CopyOver(ctx, job, cfg.MF_File);
}

void InviaGlobe(Context& ctx, const std::string& job) {
  const Config& cfg = ctx.cfg;
  const std::string no_answer =
      "File scontrino: " + job + " - non ha generato file di output " + cfg.MF_File_Output;
  std::string err;
  if (!ctx.svc.files.Copy(job, cfg.MF_File, &err)) {
    // Starting the driver now would print whatever MF_File still holds: an earlier receipt.
    Warn(ctx, "job " + job + " not handed to the driver, copy failed", err);
    Log(ctx, no_answer);
    return;
  }
  ProcessId pid = ctx.svc.processes.Start(cfg.MF_Driver, WindowState::kMinimizedNoFocus, &err);
  if (pid == 0) {
    // No driver runs, so no answer can come: withdraw the job now rather than freeze every
    // other device for 102 delays.
    ctx.svc.log.Error("fiscal register: driver not started (" + err + "); job " + job +
                      " withdrawn");
    RemoveIfThere(ctx, cfg.MF_File);
    Log(ctx, no_answer);
    return;
  }
  int count = 0;
  for (;;) {
    Attesa(ctx.svc.clock, cfg.MF_Ritardo);
    if (ctx.svc.files.IsFile(cfg.MF_File_Output) || count > kGlobeMaxCount) break;
    ++count;
  }
  if (!ctx.svc.files.IsFile(cfg.MF_File_Output)) {
    ctx.svc.log.Warn("fiscal register: the driver wrote no " + cfg.MF_File_Output + "; job " + job +
                     " withdrawn");
    RemoveIfThere(ctx, cfg.MF_File);
    Log(ctx, no_answer);
  } else {
    RemoveIfThere(ctx, cfg.MF_File_Output);
  }
}

void InviaFPMate(Context& ctx) {
  const Config& cfg = ctx.cfg;
  const std::string epson = JoinPath(cfg.DirBorea, "Epson");
  if (cfg.MF_Buffer) {
    ScaricaBufferMF(ctx, "Scontr.xml", epson);
    return;
  }
  // MF_File goes only once its copy is there: a failed copy must not lose the receipt.
  std::string err;
  if (!ctx.svc.files.Copy(cfg.MF_File, JoinPath(epson, "Scontr.xml"), &err)) {
    Warn(ctx, "receipt kept in " + cfg.MF_File, err);
    return;
  }
  RemoveIfThere(ctx, cfg.MF_File);
}

}  // namespace

void InviaFileMF(Context& ctx, const std::string& file_lavoro) {
  const std::string& prot = ctx.cfg.MF_Prot;
  if (prot == kProtCasio) {
    InviaCasio(ctx, file_lavoro);
  } else if (prot == kProtGlobe) {
    InviaGlobe(ctx, file_lavoro);
  } else if (prot == kProtFPMate) {
    InviaFPMate(ctx);
  }
}

void ScaricaBufferMF(Context& ctx, const std::string& nome_file, const std::string& cartella) {
  const std::string target = JoinPath(cartella, nome_file);
  for (int slot = 1; slot <= 20; ++slot) {
    char name[8];
    std::snprintf(name, sizeof name, "#%04d", slot);
    const std::string buffered = JoinPath(JoinPath(ctx.cfg.DirBorea, "_Buffer"), name);
    if (!ctx.svc.files.IsFile(buffered) || ctx.svc.files.Exists(target)) continue;
    std::string err;
    if (!ctx.svc.files.Rename(buffered, target, &err)) Warn(ctx, "buffer not moved", err);
  }
}

}  // namespace valico
