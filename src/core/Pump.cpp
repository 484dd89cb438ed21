#include "quenlor/Pump.h"

namespace quenlor {

PumpPacer::PumpPacer(IMessagePump& pump, std::chrono::steady_clock::duration interval)
    : pump_(pump),
      interval_(interval),
      gap_(pump.CheckGap()),
      last_(std::chrono::steady_clock::now() - gap_) {}

void PumpPacer::Step() {
    pump_.Pump();
    last_ = std::chrono::steady_clock::now();
    calls_ = 0;
}

void PumpPacer::StepUnlessRecent() {
    if (gap_.count() == 0 || std::chrono::steady_clock::now() - last_ >= gap_) Step();
}

void PumpPacer::MaybeStep() {
    // Reading the clock costs more than a candidate comparison: look at it every 64 calls only.
    if ((++calls_ & 63) != 0) return;
    StepIfDue();
}

void PumpPacer::StepIfDue() {
    if (std::chrono::steady_clock::now() - last_ >= interval_) Step();
}

}  // namespace quenlor
