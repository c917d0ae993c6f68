#include "engine/base/types.h"

#include <cstring>

static int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 0;
}

static float HexChannel(const char* two) { return (HexDigitValue(two[0]) * 16 + HexDigitValue(two[1])) * (1.0f / 255.0f); }

void color_t::FromHexValue(const char* text) {
    if (!text) return;
    if (*text == '#') ++text;
    size_t length = strlen(text);
    if (length < 6) return;
    r = HexChannel(text);
    g = HexChannel(text + 2);
    b = HexChannel(text + 4);
    a = length >= 8 ? HexChannel(text + 6) : 1.0f;
}
