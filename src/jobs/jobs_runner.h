#pragma once

#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

#include "core/services.h"
#include "platform/clock.h"
#include "settings/config.h"
#include "settings/ini_snapshot.h"
#include "settings/ini_store.h"

namespace valico {

// What the service does for the scheduler and the FTP requests at every tick.
//
// Scheduler: while OP_Attive is set, OperazioniPianificate runs once for every minute of
// the local clock. A tick notices that the minute changed and runs it for the new minute; a
// tick that ran long enough to pass over whole minutes makes up the ones it missed, in order
// and each as of its own minute, when the gap is short (up to kMaxCatchUp minutes, across
// midnight too). A longer gap (the clock set forward, summer time, the machine resumed from
// sleep) is not made up: jobs started hours late, all at once, would do more harm than good;
// the skip goes to the log. A clock set back runs the new minute at once.
//
// FTP: a request written into _Valico.ini (FTP_Azione "1" upload, "2" download; any other
// value is answered as a failed request) is carried out by LanciaFTP on a worker thread, one
// transfer at a time, so the ticks keep flowing. The worker gets the TransferServices only:
// never the model, the window or the dialogs.
class JobsRunner {
 public:
  static constexpr int kMaxCatchUp = 5;  // minutes

  // `settings` is the snapshot of _Valico.ini the tick reads the FTP request from; the
  // polling cycle brings it up to date at the start of the same tick.
  JobsRunner(const Services& svc, IniStore& ini, IniSnapshot& settings, const Config& cfg)
      : svc_(svc), ini_(ini), settings_(settings), cfg_(cfg) {}
  ~JobsRunner() { Stop(std::chrono::milliseconds(0)); }
  JobsRunner(const JobsRunner&) = delete;
  JobsRunner& operator=(const JobsRunner&) = delete;

  // One tick: the scheduler's minute, then a pending FTP request. Runs on the tick's thread;
  // a worker started here inherits that thread's blocked signals.
  void Tick();

  // The scheduler part of a tick, for the local time `now`.
  void ScheduleStep(const LocalTime& now);
  // The FTP part of a tick: starts a worker for a request the snapshot holds, unless one runs.
  void TransferStep();
  bool TransferRunning() const { return worker_.joinable() && !worker_done_.load(); }

  // Waits up to `limit` for a running transfer to end, then cuts it short and joins it (the
  // requester still gets FTP_Finish "Finito" and FTP_Esito "0").
  void Stop(std::chrono::milliseconds limit);

 private:
  const Services& svc_;
  IniStore& ini_;
  IniSnapshot& settings_;
  const Config& cfg_;
  std::optional<LocalTime> last_minute_;
  std::jthread worker_;
  std::atomic<bool> worker_done_{false};
};

// Minutes from `from` to `to` by the calendar (negative when `to` is earlier).
long long MinutesBetween(const LocalTime& from, const LocalTime& to);

}  // namespace valico
