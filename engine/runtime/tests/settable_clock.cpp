// The settable engine clock.

#include "engine/runtime/tests/settable_clock.h"

#include <atomic>

#include "engine/base/clock.h"
#include "engine/runtime/state.h"

namespace {

std::atomic<int64_t> now_ms{0};
double (*saved_clock)() = nullptr;

// The engine clock reads seconds as a double and truncates its milliseconds;
// a quarter of a millisecond past each reading (but not past the base at
// 0) keeps every whole millisecond whole.
double Reading() {
    int64_t ms = now_ms.load();
    return ms == 0 ? 0.0 : (static_cast<double>(ms) + 0.25) / 1000.0;
}

}  // namespace

SettableClock::SettableClock() {
    saved_clock = zkt_absolute_clock_function;
    now_ms = 0;
    zkt_absolute_clock_function = Reading;
    ZKT_ResetClockForTesting();
    ZKT_GetTime();  // the base: 0
    zk_state.start_time_ms = 0;
}

SettableClock::~SettableClock() {
    zkt_absolute_clock_function = saved_clock ? saved_clock : ZKT_GetWallClockSeconds;
    ZKT_ResetClockForTesting();
    zk_state.start_time_ms = ZKT_GetTime();
}

void SettableClock::Set(int64_t milliseconds) { now_ms = milliseconds; }
void SettableClock::Advance(int64_t milliseconds) { now_ms += milliseconds; }
int64_t SettableClock::Now() const { return now_ms.load(); }
