// Paces the message-pump steps of long loops. Steps at directory and row boundaries always process
// the queue; those at file boundaries do unless the pump asks for a gap (IMessagePump::CheckGap)
// that has not yet passed; the many candidate steps inside one scan are coalesced in time, since a
// queue check costs tens of microseconds on some systems and would otherwise dominate a search.
#pragma once

#include <chrono>
#include <cstdint>

#include "quenlor/Host.h"

namespace quenlor {

class PumpPacer {
  public:
    static constexpr std::chrono::milliseconds kDefaultInterval{5};

    explicit PumpPacer(IMessagePump& pump,
                       std::chrono::steady_clock::duration interval = kDefaultInterval);

    // Processes the queue now.
    void Step();
    // For the steps of each file: processes the queue now, unless the pump's CheckGap has not
    // passed since the last step.
    void StepUnlessRecent();
    // For steps that come thousands of times a millisecond: processes the queue when the last step
    // lies at least one interval back, reading the clock only every 64 calls.
    void MaybeStep();
    // For steps that come seldom but may lie far apart: reads the clock every call.
    void StepIfDue();

  private:
    IMessagePump& pump_;
    std::chrono::steady_clock::duration interval_;
    std::chrono::steady_clock::duration gap_;
    std::chrono::steady_clock::time_point last_;
    uint32_t calls_ = 0;
};

}  // namespace quenlor
