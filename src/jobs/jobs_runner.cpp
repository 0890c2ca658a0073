#include "jobs/jobs_runner.h"

#include "jobs/ftp_transfer.h"
#include "jobs/scheduler.h"
#include "shell/context.h"

namespace valico {
namespace {

bool SameDay(const LocalTime& a, const LocalTime& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day;
}

// `t` moved on by `minutes` within its day.
LocalTime AddMinutes(LocalTime t, int minutes) {
  int m = t.hour * 60 + t.minute + minutes;
  t.hour = m / 60;
  t.minute = m % 60;
  t.second = 0;
  return t;
}

}  // namespace

std::optional<int> MinutesBetween(const LocalTime& from, const LocalTime& to) {
  if (!SameDay(from, to)) return std::nullopt;
  return (to.hour * 60 + to.minute) - (from.hour * 60 + from.minute);
}

void JobsRunner::Tick() {
  if (ctx_.cfg.OP_Attive) ScheduleStep(ctx_.svc.clock.LocalNow());
  TransferStep();
}

void JobsRunner::ScheduleStep(const LocalTime& now) {
  if (last_minute_) {
    std::optional<int> gap = MinutesBetween(*last_minute_, now);
    if (gap && *gap == 0) return;
    if (gap && *gap > 1 && *gap <= kMaxCatchUp + 1) {
      for (int m = 1; m < *gap; ++m) {
        LocalTime missed = AddMinutes(*last_minute_, m);
        ctx_.svc.log.Warn("scheduler: making up minute " + SlotKey(ctx_.svc.regional, missed) +
                          ", passed over by a long tick");
        OperazioniPianificateAt(ctx_, missed);
      }
    } else if (!gap || *gap > 1) {
      ctx_.svc.log.Warn("scheduler: the clock moved from " +
                        SlotKey(ctx_.svc.regional, *last_minute_) + " to " +
                        SlotKey(ctx_.svc.regional, now) + "; the minutes between are skipped");
    }
  }
  last_minute_ = now;
  OperazioniPianificateAt(ctx_, now);
}

void JobsRunner::TransferStep() {
  if (TransferRunning()) return;
  if (worker_.joinable()) worker_.join();
  const Regional& reg = ctx_.svc.regional;
  std::string azione = ctx_.ini.LeggiINI("Varie", "FTP_Azione", "", ctx_.ini.valico_ini());
  if (azione.empty()) return;
  int n = ConvertStoredText(azione, reg).ToInt16(reg).value_or(0);
  if (n != 1 && n != 2) return;
  worker_done_ = false;
  worker_ = std::jthread([this](std::stop_token stop) {
    LanciaFTP(ctx_, stop);
    worker_done_ = true;
  });
}

void JobsRunner::Stop(std::chrono::milliseconds limit) {
  if (!worker_.joinable()) return;
  auto end = std::chrono::steady_clock::now() + limit;
  if (!worker_done_) ctx_.svc.log.Info("waiting for the FTP transfer to end");
  while (!worker_done_ && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  if (!worker_done_) ctx_.svc.log.Warn("the FTP transfer did not end in time; cutting it short");
  worker_.request_stop();
  worker_.join();
}

}  // namespace valico
