// A settable engine clock for tests: zk->ZK_GetTime() answers exactly the
// milliseconds last set.
//
//   SettableClock clock;
//   clock.Install();          // after the state is set up; time 0
//   clock.Set(1000);          // ZK_GetTime() == 1000
//   clock.Advance(25);        // 1025
//   clock.Uninstall();        // back to the wall clock
//
// The engine clock never goes back, so Set only moves forward.
#pragma once

#include <cstdint>

#include "engine/base/clock.h"
#include "engine/runtime/state.h"

class SettableClock {
public:
    void Install() {
        seconds_ = 0.0;
        zkt_absolute_clock_function = Read;
        ZKT_ResetClockForTesting();
        ZKT_GetTime();  // the reading 0.0 becomes the clock's base
        zk_state.start_time_ms = 0;
        now_ms_ = 0;
    }
    void Uninstall() {
        zkt_absolute_clock_function = ZKT_GetWallClockSeconds;
        ZKT_ResetClockForTesting();
    }
    // Half a millisecond past the mark, so that truncation gives the mark.
    void Set(uint32_t ms) {
        now_ms_ = ms;
        seconds_ = (static_cast<double>(ms) + 0.5) / 1000.0;
    }
    void Advance(uint32_t ms) { Set(now_ms_ + ms); }
    uint32_t Now() const { return now_ms_; }

private:
    static double Read() { return seconds_; }
    static inline double seconds_ = 0.0;
    uint32_t now_ms_ = 0;
};
