#include "jobs/scheduler.h"

#include <cstdio>

#include "jobs/process_wait.h"

namespace valico {
namespace {

using TV = TypedValue;

std::string TwoDigits(int n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", n);
  return buf;
}

// "ddmmyyyy", the date part of OP_LAST.
std::string DateStamp(const LocalTime& t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d%02d%04d", t.day, t.month, t.year);
  return buf;
}

void Start(const Services& svc, const std::string& command_line, WindowState state) {
  std::string err;
  if (svc.processes.Start(command_line, state, &err) == 0) {
    svc.log.Warn("scheduler: could not start " + command_line + ": " + err);
  } else {
    svc.log.Info("scheduler: started " + command_line);
  }
}

// Starts a job from its batch file in the program folder when the folder lists one of
// exactly that name, from the database runtime otherwise.
void StartJob(const Services& svc, const Config& cfg, const char* batch, WindowState batch_state,
              const char* database) {
  if (svc.files.HasExactName(cfg.DirProgramma, batch)) {
    Start(svc, QuotedWhenBlank(JoinPath(cfg.DirProgramma, batch)), batch_state);
  } else {
    Start(svc, RuntimeCommandLine(cfg, database), WindowState::kMinimizedNoFocus);
  }
}

}  // namespace

std::string UpperCp1252(std::string text) {
  for (char& ch : text) {
    unsigned char c = static_cast<unsigned char>(ch);
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) {
      c = static_cast<unsigned char>(c - 0x20);
    } else if (c == 0x9A || c == 0x9C || c == 0x9E) {
      c = static_cast<unsigned char>(c - 0x10);  // š œ ž
    } else if (c == 0xFF) {
      c = 0x9F;  // ÿ
    }
    ch = static_cast<char>(c);
  }
  return text;
}

std::string SlotKey(const Regional& regional, const LocalTime& t) {
  std::string day = regional.weekday_names[static_cast<size_t>(t.weekday % 7)].substr(0, 3);
  return UpperCp1252(day) + "#" + TwoDigits(t.hour) + TwoDigits(t.minute);
}

SlotFields SplitSlotValue(const std::string& value) {
  SlotFields f;
  std::string token;
  int fields = 0;
  for (char c : value) {
    if (c != '#') {
      token += c;
      continue;
    }
    ++fields;
    if (fields == 1) f.code = token;
    if (fields == 2) f.tag = token;
    token.clear();
  }
  return f;
}

std::string RuntimeCommandLine(const Config& cfg, const std::string& database) {
  return "\"" + cfg.RunTimeBorea + "\" /runtime /wrkgrp \"" + cfg.DirBorea + "\\System.mdw\" \"" +
         cfg.DirBorea + database + "\"";
}

void OperazioniPianificate(const Services& svc, IniStore& ini, const Config& cfg) {
  OperazioniPianificateAt(svc, ini, cfg, svc.clock.LocalNow());
}

void OperazioniPianificateAt(const Services& svc, IniStore& ini, const Config& cfg,
                             const LocalTime& now) {
  const Regional& reg = svc.regional;
  const std::string scheduler_file = JoinPath(cfg.DirBorea, "_Schedulatore.ini");

  std::string slot = SlotKey(reg, now);
  std::string value = UpperCp1252(ini.LeggiINI("VARIE", slot, "", scheduler_file));
  std::string code;
  if (!value.empty()) {
    std::string started = DateStamp(now) + "#" + slot;
    if (ini.LeggiVarieDef("OP_LAST", TV::FromText("")).ToText(reg) == started) return;
    SlotFields f = SplitSlotValue(value);
    code = f.code;
    ini.ScriviVarie("OP_LAST", TV::FromText(started));
    ini.ScriviVarie("VALICO_SO_ACTIVE", TV::FromFlag(true), cfg.IniLocal);
    ini.ScriviVarie("VALICO_SO_OPE", TV::FromText(f.code), cfg.IniLocal);
    ini.ScriviVarie("VALICO_SO_TAG", TV::FromText(f.tag), cfg.IniLocal);
    svc.log.Info("scheduler: slot " + slot + " = " + value);
  }

  if (ini.LeggiVarieDef("PRC_ACTIVE", TV::FromInt(0), scheduler_file).IsTrue()) {
    code = ini.LeggiVarieDef("Valico_SO_OPE", TV::FromText(""), cfg.IniLocal).ToText(reg);
    ini.ScriviVarie("PRC_ACTIVE", TV::FromInt(0), scheduler_file);
    svc.log.Info("scheduler: request PRC_ACTIVE for operation \"" + code + "\"");
  }

  if (code.empty()) return;
  if (code[0] == '2') {
    ini.ScriviVarie("RESTORE_ACTIVE", TV::FromText("-1"), cfg.IniLocal);
    bool server = cfg.Postazione == "SERVER";
    ini.ScriviVarie("VALICO_RBOREA_ACTIVE", TV::FromText(server ? "1" : "2"), cfg.IniLocal);
    StartJob(svc, cfg, "RestoreBorea.bat", WindowState::kHidden, "\\Restore_Borea.mde");
  } else {
    StartJob(svc, cfg, "Zefiro.bat", WindowState::kMinimizedFocus, "\\Zefiro.mde");
  }
}

}  // namespace valico
