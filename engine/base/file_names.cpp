#include "engine/base/file_names.h"

#include <strings.h>

#include <cstring>

// Where ending would start in text, or null when it cannot fit.
static const char* EndingStart(const char* text, const char* ending) {
    if (!text || !ending) return nullptr;
    size_t length = strlen(text), ending_length = strlen(ending);
    return length >= ending_length ? text + length - ending_length : nullptr;
}

bool nStringEndsWith(const char* text, const char* ending) {
    const char* start = EndingStart(text, ending);
    return start && strcmp(start, ending) == 0;
}

bool nStringEndsWithIgnoringCase(const char* text, const char* ending) {
    const char* start = EndingStart(text, ending);
    return start && strcasecmp(start, ending) == 0;
}

const char* nPathExtension(const char* path) {
    if (!path) return nullptr;
    for (const char* p = path + strlen(path); p > path; --p) {
        if (p[-1] == '/') return nullptr;
        if (p[-1] == '.') return p;
    }
    return nullptr;
}

bool nPathHasExtension(const char* path, nLeadingDot leading_dot) {
    const char* extension = nPathExtension(path);
    if (!extension) return false;
    // The last '.' stands first only when no other '.' and no '/' follow it.
    return leading_dot == nLEADING_DOT_STARTS_EXTENSION || extension != path + 1;
}
