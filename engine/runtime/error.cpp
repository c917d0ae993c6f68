// Error reports.

#include "engine/runtime/error.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "engine/runtime/log.h"

namespace {

// Every code reports under these names: there is no table of codes.
const char* const kCategoryName = "Unknown category";
const char* const kErrorName = "unknown error";

// The popup printer keeps at most this many characters of a message.
enum { kPopupTextLimit = 4095, kDetailBufferSize = 4096 };

int FormatHead(char* head, size_t size, Error::ID id, int platform_error) {
    return snprintf(head, size, "%s error: %s (0x%08X, platform error %i)", kCategoryName, kErrorName, id,
                    platform_error);
}

void Report(Error::ID id, int platform_error, const char* detail) {
    char head[160];
    int head_length = FormatHead(head, sizeof(head), id, platform_error);
    // Keep the detail short enough that the popup printer does not cut off
    // the closing full stop.
    int room = kPopupTextLimit - head_length - 1;
    int detail_length = static_cast<int>(strlen(detail));
    if (detail_length > room) detail_length = room;
    ZK_Popupf(ZK_MESSAGE_ERROR, "%s%.*s.", head, detail_length, detail);
}

// "\n\n" followed by the formatted detail (cut at the buffer's end); an
// empty text for a null format.
void FormatDetail(char* detail, const char* format, va_list args) {
    memset(detail, 0, kDetailBufferSize);
    if (!format) return;
    detail[0] = '\n';
    detail[1] = '\n';
    vsnprintf(detail + 2, kDetailBufferSize - 2, format, args);
}

}  // namespace

void Error::SetError(ID id) { Report(id, 0, ""); }

void Error::SetError(ID id, int platform_error) { Report(id, platform_error, ""); }

void Error::SetError(ID id, const char* format, ...) {
    char detail[kDetailBufferSize];
    va_list args;
    va_start(args, format);
    FormatDetail(detail, format, args);
    va_end(args);
    Report(id, 0, detail);
}

void Error::SetError(ID id, int platform_error, const char* format, ...) {
    char detail[kDetailBufferSize];
    va_list args;
    va_start(args, format);
    FormatDetail(detail, format, args);
    va_end(args);
    Report(id, platform_error, detail);
}
