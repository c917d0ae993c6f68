// The engine clock under a test's control.
//
//   SettableClock clock;    // engine time (ZKT_GetTime, zk->ZK_GetTime) is 0 ms
//   clock.Advance(250);     // any thread; 250 ms later
//   clock.Set(1000);        // the clock never goes back: an earlier time holds it
//
// Only one may exist at a time; the destructor puts the system clock back.
#pragma once

#include <cstdint>

class SettableClock {
public:
    SettableClock();
    ~SettableClock();
    SettableClock(const SettableClock&) = delete;
    SettableClock& operator=(const SettableClock&) = delete;

    void Set(int64_t milliseconds);
    void Advance(int64_t milliseconds);
    int64_t Now() const;
};
