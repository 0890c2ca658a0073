#pragma once

#include "spool/intake.h"

namespace valico {

class Context;
class DeviceHandlers;

// The 500 ms polling cycle: one tick looks at the display file, the fiscal spool, the receipt
// file and the pre-bill spool, in that order, and sets their devices to work.
class PollingCycle {
 public:
  PollingCycle(Context& ctx, DeviceHandlers& devices)
      : ctx_(ctx), devices_(devices), fiscal_(ctx, devices), prebill_(ctx, devices) {}

  // One tick (Timer1_Timer). A failing step is written to the diagnostic log and the tick
  // goes on with the next one; a tick called while one runs returns at once.
  void Timer1_Timer();

 private:
  void DisplayStep();
  void FiscalStep();
  void ReceiptStep();
  void PrebillStep();
  bool SpoolOpen(const char* flag) const;
  template <typename F>
  void Contained(const char* what, F&& step);

  Context& ctx_;
  DeviceHandlers& devices_;
  Intake fiscal_;
  Intake prebill_;
  bool in_tick_ = false;
};

}  // namespace valico
