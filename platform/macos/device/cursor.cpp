// The mouse cursor on the main display; without a display only the hidden
// flag changes.

#include "platform/macos/device/platform.h"

static int cursor_hidden = 0;

int ZKD_SetCursor(const char* name) {
    if (!name) {
        if (cursor_hidden) return cursor_hidden;
        cursor_hidden = 1;
        return 0;
    }
    if (!cursor_hidden) return cursor_hidden;
    cursor_hidden = 0;
    return 0;
}

bool ZKD_IsCursorHidden() { return cursor_hidden != 0; }
