// Paces the message-pump steps of long loops. Steps at directory, file and row boundaries always
// process the queue; the many candidate steps inside one scan are coalesced in time, since a queue
// check costs tens of microseconds on some systems and would otherwise dominate a search.
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
    // Processes the queue when the last step lies at least one interval back.
    void MaybeStep();

private:
    IMessagePump& pump_;
    std::chrono::steady_clock::duration interval_;
    std::chrono::steady_clock::time_point last_;
    uint32_t calls_ = 0;
};

}  // namespace quenlor
