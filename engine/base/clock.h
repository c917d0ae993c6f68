// The engine's clocks and dates.
#pragma once

#include <cstdint>

// A date and time of day, by value.
struct zk_date_t {
    uint16_t year;
    uint8_t month;        // 1-12
    uint8_t day;          // day of month
    uint8_t hour;
    uint8_t minute;
    uint8_t second;
    int32_t weekday;      // 0-6, 0 = Sunday
    uint16_t day_of_year; // 0-365
};

// Engine clock in milliseconds from its first reading; never goes back.
int64_t ZKT_GetTime();
zk_date_t ZKT_GetDate();
zk_date_t ZKT_GetEpochTimeConvertedToDate(uint64_t seconds);
int64_t ZKT_GetTimeSecondsElapsedSinceEpoch();
// The steady clock in nanoseconds.
int64_t ZKT_GetSteadyClockNanoseconds();
// Wall-clock seconds (CLOCK_REALTIME): like the platform's absolute clock it
// follows the system clock, also when that is set back.
double ZKT_GetWallClockSeconds();
// Blocks the calling thread; nothing for 0 or less (slot 4).
void ZKT_Sleep(int milliseconds);

// --- Seams for tests -------------------------------------------------------
// The absolute clock ZKT_GetTime reads (ZKT_GetWallClockSeconds by
// default); a test may point it at a clock that goes back.
extern double (*zkt_absolute_clock_function)();
// Forgets the engine clock's base and last reading (the next ZKT_GetTime
// reading becomes the new base).
void ZKT_ResetClockForTesting();
