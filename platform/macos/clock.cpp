// The platform's absolute clock.

#include <time.h>

#include "platform/macos/platform.h"

double ZKD_GetAbsoluteTimeSeconds() {
    struct timespec now = {};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}
