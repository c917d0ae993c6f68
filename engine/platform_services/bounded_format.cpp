// The bounded formatter.

#include "engine/platform_services/bounded_format.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

int nSprintf(char* destination, const char* format, ...) {
    enum { kBufferSize = 1024, kLimit = 1023 };  // the limit counts the terminator
    char buffer[kBufferSize];
    int length = 0;
    buffer[0] = '\0';
    if (format) {
        va_list args;
        va_start(args, format);
        length = vsnprintf(buffer, kLimit, format, args);
        va_end(args);
        if (length < 0) buffer[0] = '\0';
    }
    if (destination) memcpy(destination, buffer, strlen(buffer) + 1);
    return length;
}
