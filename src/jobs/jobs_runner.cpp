#include "jobs/jobs_runner.h"

#include <chrono>
#include <exception>

#include "jobs/ftp_transfer.h"
#include "jobs/scheduler.h"

namespace valico {
namespace {

// Minutes since 1 January 1970 of a local time, by its calendar date.
long long MinuteNumber(const LocalTime& t) {
  using namespace std::chrono;
  year_month_day date{year{t.year}, month{static_cast<unsigned>(t.month)},
                      day{static_cast<unsigned>(t.day)}};
  return static_cast<long long>(sys_days{date}.time_since_epoch().count()) * 1440 + t.hour * 60 +
         t.minute;
}

LocalTime FromMinuteNumber(long long n) {
  using namespace std::chrono;
  long long days = n >= 0 ? n / 1440 : (n - 1439) / 1440;
  int in_day = static_cast<int>(n - days * 1440);
  sys_days d{std::chrono::days{days}};
  year_month_day date{d};
  return LocalTime{static_cast<int>(date.year()),
                   static_cast<int>(static_cast<unsigned>(date.month())),
                   static_cast<int>(static_cast<unsigned>(date.day())),
                   in_day / 60,
                   in_day % 60,
                   0,
                   static_cast<int>(weekday{d}.c_encoding())};
}

}  // namespace

long long MinutesBetween(const LocalTime& from, const LocalTime& to) {
  return MinuteNumber(to) - MinuteNumber(from);
}

void JobsRunner::Tick() {
  // A failure here must not end the service: it is logged and the next tick tries again.
  try {
    if (cfg_.OP_Attive) ScheduleStep(svc_.clock.LocalNow());
    TransferStep();
  } catch (const std::exception& e) {
    svc_.log.Error(std::string("tick: scheduled operations or FTP failed: ") + e.what());
  }
}

void JobsRunner::ScheduleStep(const LocalTime& now) {
  if (last_minute_) {
    long long gap = MinutesBetween(*last_minute_, now);
    if (gap == 0) return;
    if (gap > 1 && gap <= kMaxCatchUp + 1) {
      long long first = MinuteNumber(*last_minute_);
      for (long long m = 1; m < gap; ++m) {
        LocalTime missed = FromMinuteNumber(first + m);
        svc_.log.Warn("scheduler: making up minute " + SlotKey(svc_.regional, missed) +
                      ", passed over by a long tick");
        OperazioniPianificateAt(svc_, ini_, cfg_, missed);
      }
    } else if (gap != 1) {
      svc_.log.Warn("scheduler: the clock moved from " + SlotKey(svc_.regional, *last_minute_) +
                    " to " + SlotKey(svc_.regional, now) + "; the minutes between are not made up");
    }
  }
  last_minute_ = now;
  OperazioniPianificateAt(svc_, ini_, cfg_, now);
}

void JobsRunner::TransferStep() {
  if (TransferRunning()) return;
  if (worker_.joinable()) worker_.join();
  const Regional& reg = svc_.regional;
  // Any request is answered: one that is neither an upload nor a download fails, so that its
  // requester sees "Finito" rather than wait for ever.
  if (settings_.LeggiINI("Varie", "FTP_Azione", "").empty()) return;
  worker_done_ = false;
  TransferServices transfer{ini_,     svc_.files, svc_.log,         svc_.processes,
                            svc_.ftp, reg,        cfg_.DirProgramma};
  worker_ = std::jthread([this, transfer](std::stop_token stop) {
    try {
      LanciaFTP(transfer, stop);
    } catch (const std::exception& e) {
      transfer.log.Error(std::string("FTP transfer failed: ") + e.what());
    }
    worker_done_ = true;
  });
}

void JobsRunner::Stop(std::chrono::milliseconds limit) {
  if (!worker_.joinable()) return;
  auto end = std::chrono::steady_clock::now() + limit;
  if (!worker_done_) svc_.log.Info("waiting for the FTP transfer to end");
  while (!worker_done_ && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  if (!worker_done_) svc_.log.Warn("the FTP transfer did not end in time; cutting it short");
  worker_.request_stop();
  worker_.join();
}

}  // namespace valico
