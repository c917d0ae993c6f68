// The engine's clocks and dates.

#include "engine/base/clock.h"

#include <pthread.h>
#include <time.h>
#include <unistd.h>

#include <chrono>

double ZKT_GetWallClockSeconds() {
    struct timespec now = {};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double (*zkt_absolute_clock_function)() = ZKT_GetWallClockSeconds;

// The clock's base and last reading, shared by all threads.
static pthread_mutex_t clock_lock = PTHREAD_MUTEX_INITIALIZER;
static bool clock_has_base = false;
static double clock_base = 0.0;
static double clock_last = 0.0;

int64_t ZKT_GetTime() {
    pthread_mutex_lock(&clock_lock);
    double reading = zkt_absolute_clock_function();
    if (!clock_has_base) {
        clock_base = reading;
        clock_last = reading;
        clock_has_base = true;
    }
    // The platform clock follows the system clock; never go back with it.
    if (reading < clock_last) reading = clock_last;
    clock_last = reading;
    double elapsed = reading - clock_base;
    pthread_mutex_unlock(&clock_lock);
    return static_cast<int64_t>(elapsed * 1000.0);
}

void ZKT_ResetClockForTesting() {
    pthread_mutex_lock(&clock_lock);
    clock_has_base = false;
    clock_base = clock_last = 0.0;
    pthread_mutex_unlock(&clock_lock);
}

int64_t ZKT_GetSteadyClockNanoseconds() {
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
}

void ZKT_Sleep(int milliseconds) {
    if (milliseconds <= 0) return;
    if (milliseconds >= 1000) sleep(static_cast<unsigned>(milliseconds / 1000));
    usleep(static_cast<useconds_t>(milliseconds % 1000) * 1000);
}

int64_t ZKT_GetTimeSecondsElapsedSinceEpoch() { return static_cast<int64_t>(time(nullptr)); }

static zk_date_t DateFromLocalTime(time_t seconds) {
    struct tm local = {};
    localtime_r(&seconds, &local);
    zk_date_t date = {};
    date.year = static_cast<uint16_t>(local.tm_year + 1900);
    date.month = static_cast<uint8_t>(local.tm_mon + 1);
    date.day = static_cast<uint8_t>(local.tm_mday);
    date.hour = static_cast<uint8_t>(local.tm_hour);
    date.minute = static_cast<uint8_t>(local.tm_min);
    date.second = static_cast<uint8_t>(local.tm_sec);
    date.weekday = local.tm_wday;
    date.day_of_year = static_cast<uint16_t>(local.tm_yday);
    return date;
}

zk_date_t ZKT_GetDate() { return DateFromLocalTime(time(nullptr)); }

zk_date_t ZKT_GetEpochTimeConvertedToDate(uint64_t seconds) {
    return DateFromLocalTime(static_cast<time_t>(seconds));
}
