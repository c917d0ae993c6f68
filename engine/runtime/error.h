// Error reports: a numeric code, an optional platform error number and an
// optional detail text become one ERROR popup (ZK_Popupf). Nothing is
// stored.
#pragma once

#include <cstdint>

#include "engine/runtime/zekar.h"

class Error {
public:
    typedef uint32_t ID;

    // "Unknown category error: unknown error (0x%08X, platform error %i)."
    static void SetError(ID id);
    static void SetError(ID id, int platform_error);
    // The same with "\n\n" and the formatted detail before the full stop; a
    // null format adds nothing. A long detail is cut so that the report
    // still ends with its full stop.
    static void SetError(ID id, const char* format, ...) ZK_PRINTF_LIKE(2, 3);
    static void SetError(ID id, int platform_error, const char* format, ...) ZK_PRINTF_LIKE(3, 4);
};
