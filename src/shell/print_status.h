#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/context.h"

namespace valico {

// NonStampati/ lists each document (number, printer, reason) up to this many; beyond, the
// count and the oldest only.
inline constexpr std::size_t kListedUnprinted = 20;

// What waits in CodaStampa/ for every printer (also the jobs other programs left there for
// the serving Valico to take), and when the oldest was queued (ms since 1970; 0 for none).
struct QueueTotals {
  std::size_t jobs = 0;
  std::int64_t oldest_ms = 0;
};
QueueTotals QueueTotalsOf(Context& ctx);

// "05/12/2026 08:30:00", local time; "-" for no time at all.
std::string ShownTime(std::int64_t ms);

// The report of `valico status` and of the window "Stato stampe", one item a line, for a shop
// owner to read over the phone: whether a Valico serves the program folder; per device what
// waits (its spool folders or its job file) and what it last did (from the status file, whose
// time is given); per printer its queue in CodaStampa/ (jobs, the oldest, jobs other programs
// left for the serving Valico, the last error and the next attempt, the last document done);
// and the documents of NonStampati/. Reads the folder without taking any lock. `ctx` has its
// settings loaded; `served`: whether a Valico serves the folder.
std::string PrintStatusReport(Context& ctx, bool served);

// The part of the report on NonStampati/: what `valico reprint` lists when no document is named.
std::string UnprintedReport(Context& ctx);

}  // namespace valico
