// The table's clocks: engine time since the state was set up, and dates.

#include "engine/base/clock.h"
#include "engine/runtime/state.h"
#include "engine/runtime/threads.h"

uint32_t ZK_GetTime() {
    return static_cast<uint32_t>(static_cast<uint64_t>(ZKT_GetTime()) - static_cast<uint64_t>(zk_state.start_time_ms));
}

int64_t ZK_GetTimeNanoseconds() { return ZKT_GetSteadyClockNanoseconds() - zk_state.start_steady_clock; }

int64_t ZK_GetTimeSecondsElapsedSinceEpoch() { return ZKT_GetTimeSecondsElapsedSinceEpoch(); }

zk_date_t ZK_GetDate() { return ZKT_GetDate(); }

zk_date_t ZK_GetEpochTimeConvertedToDate(uint64_t seconds) { return ZKT_GetEpochTimeConvertedToDate(seconds); }
