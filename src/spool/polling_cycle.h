#pragma once

#include "settings/config.h"
#include "spool/intake.h"

namespace valico {

class DeviceHandlers;

// The 500 ms polling cycle: one tick looks at the display file, the fiscal spool, the receipt
// file and the pre-bill spool, in that order, and sets their devices to work. It reads the
// configuration model (the spool folders are under DirProgramma) and, at every tick, the
// spool flags of _Valico.ini (through one snapshot of it per tick). The folder watch says
// which jobs are whole; it follows the drop folders and the polled files.
class PollingCycle {
 public:
  PollingCycle(const Files& files, DiagLog& log, FolderWatch& watch, IniSnapshot& settings,
               const Config& cfg, DeviceHandlers& devices)
      : files_(files),
        log_(log),
        watch_(watch),
        settings_(settings),
        cfg_(cfg),
        devices_(devices),
        fiscal_(files, log, watch, settings, devices),
        prebill_(files, log, watch, settings, devices) {}

  // Follows the drop folders and the polled files of the devices that are on, as the ticks
  // will: called before the first tick, so that the notices tell about every job written from
  // then on. The ticks follow them again, as the settings may change.
  void FollowSpools();

  // One tick (Timer1_Timer). A failing step is written to the diagnostic log and the tick
  // goes on with the next one; a tick called while one runs returns at once. The tick reads
  // the watch's notices first, unless its caller has just read them (`notices_read`).
  void Timer1_Timer(bool notices_read = false);

  // True when the last tick left jobs that a pass could take at once (a spool stopped at
  // its limit of jobs per pass): the caller runs the next tick without waiting.
  bool backlog() const { return backlog_; }

 private:
  void DisplayStep();
  void FiscalStep();
  void ReceiptStep();
  void PrebillStep();
  bool SpoolOpen(SpoolKind kind) const;
  // Follows a polled file and says whether it is there.
  bool Polled(const std::string& path);
  std::string InProgramFolder(const char* name) const { return JoinPath(cfg_.DirProgramma, name); }
  template <typename F>
  void Contained(const char* what, F&& step);

  const Files& files_;
  DiagLog& log_;
  FolderWatch& watch_;
  IniSnapshot& settings_;
  const Config& cfg_;
  DeviceHandlers& devices_;
  Intake fiscal_;
  Intake prebill_;
  bool in_tick_ = false;
  bool backlog_ = false;
  bool rf_port_reported_ = false;  // the receipt port's trouble is in the log already
};

}  // namespace valico
