// Inline blocks of drawn text: their kinds, colours, shader names, the
// deprecated scale, and image blocks with their keys.
//
// A block's content ends at the next '|' or at the end of the text; no key
// or value is ever read past it.

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "engine/text/text_walk.h"
#include "engine/runtime/interface_functions.h"
#include "engine/runtime/state.h"

namespace zk_text {

namespace {

const char kShaderKey[] = "shader='";
const char kScaleKey[] = "scale=";
const double kPi = 3.141592653589793;

bool EndsContent(char c) { return c == '\0' || c == '|'; }

bool StartsWith(const char* text, const char* prefix) { return strncmp(text, prefix, strlen(prefix)) == 0; }

// The key's first occurrence inside the block, or null.
const char* FindKey(const char* content, const char* key) {
    size_t length = strlen(key);
    for (const char* at = content; !EndsContent(*at); ++at) {
        if (strncmp(at, key, length) == 0) return at;
    }
    return nullptr;
}

// Copies from text until a stop character (or the block's end), cut to
// size - 1 characters; returns the character it stopped at.
char CopyUntil(const char* text, char stop, char* out, int size) {
    int n = 0;
    while (!EndsContent(text[n]) && text[n] != stop) {
        if (n < size - 1) out[n] = text[n];
        ++n;
    }
    out[n < size - 1 ? n : size - 1] = '\0';
    return text[n];
}

// A quoted name after the key: false when the closing quote is missing.
bool QuotedValue(const char* content, const char* key, char* out, int size) {
    const char* at = FindKey(content, key);
    return at && CopyUntil(at + strlen(key), '\'', out, size) == '\'';
}

// A value after the key, running to the next blank or the block's end;
// `blank_follows` tells which.
bool PlainValue(const char* content, const char* key, char* out, int size, bool* blank_follows = nullptr) {
    const char* at = FindKey(content, key);
    if (!at) return false;
    char stop = CopyUntil(at + strlen(key), ' ', out, size);
    if (blank_follows) *blank_follows = stop == ' ';
    return true;
}

// A number of a value; what is not a finite number gives the fallback.
float Number(const char* value, float fallback) {
    double number = atof(value);
    return std::isfinite(number) && std::fabs(number) <= 3.4e38 ? float(number) : fallback;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 0;
}

// Channel `index` of the digits; characters that are not hexadecimal, and
// those past `length`, count 0.
float Channel(const char* digits, int length, int index) {
    int high = 2 * index < length ? HexDigit(digits[2 * index]) : 0;
    int low = 2 * index + 1 < length ? HexDigit(digits[2 * index + 1]) : 0;
    return float(high * 16 + low) / 255.0f;
}

int ContentLength(const char* text) {
    int n = 0;
    while (!EndsContent(text[n])) ++n;
    return n;
}

// Image-block colour: RRGGBB and, when a seventh character is there, AA.
void ImageColor(const char* value, color_t& colour) {
    if (*value == '#') ++value;
    int length = int(strlen(value));
    colour.r = Channel(value, length, 0);
    colour.g = Channel(value, length, 1);
    colour.b = Channel(value, length, 2);
    if (length >= 7) colour.a = Channel(value, length, 3);
}

}  // namespace

ItemKind BlockKind(const char* content) {
    if (content[0] == 'i' || content[0] == 'I') return ITEM_IMAGE;
    if (StartsWith(content, kShaderKey)) return ITEM_SHADER;
    if (StartsWith(content, kScaleKey)) return ITEM_SCALE;
    return ITEM_COLOR;
}

bool ParseColorBlock(const char* content, color_t& colour, bool& has_alpha) {
    if (*content == '#') ++content;
    int length = ContentLength(content);
    if (length < 6) return false;
    colour.r = Channel(content, length, 0);
    colour.g = Channel(content, length, 1);
    colour.b = Channel(content, length, 2);
    has_alpha = length >= 8;
    if (has_alpha) colour.a = Channel(content, length, 3);
    return true;
}

void ShaderBlockName(const char* content, char* name, int size) {
    CopyUntil(content + strlen(kShaderKey), '\'', name, size);
}

bool ScaleBlockDivisor(const char* content, float& divisor) {
    if (zk->ZKI_IsDeveloperModeEnabled()) {
        zk->ZK_Popupf(ZK_MESSAGE_WARNING, "|scale=x| tag is deprecated. Remove all references to it.");
    }
    char value[ZK_TEXT_BLOCK_VALUE];
    CopyUntil(content + strlen(kScaleKey), '\0', value, sizeof value);
    divisor = Number(value, 0.0f);
    return divisor > 0.0f;
}

bool ImageBlockWidth(zk_font_t* font, const char* content, float& width) {
    float scale = 1.0f;
    zk_bitmap_t* bitmap = ParseImageBlock_LATIN1(content, nullptr, nullptr, &scale, nullptr, nullptr);
    if (!bitmap) return false;
    width = scale / FontScale(font) * float(bitmap->width);
    return true;
}

}  // namespace zk_text

using namespace zk_text;

zk_bitmap_t* ParseImageBlock_LATIN1(const char* text, int* offset, float* angle, float* scale, color_t* colour,
                                    zk_shader_t** shader) {
    if (offset) *offset = 0;
    if (angle) *angle = 0.0f;
    if (scale) *scale = 1.0f;
    if (colour) *colour = zk->graphics->ZK_Graphics_GetColor();
    if (shader) *shader = nullptr;
    if (!text || strncmp(text, "img", 3) != 0) return nullptr;

    char value[ZK_TEXT_BLOCK_VALUE];
    if (!QuotedValue(text, "src='", value, sizeof value)) return nullptr;
    zk_bitmap_t* bitmap = zk->graphics->ZK_Graphics_GetBitmap(value);

    if (scale && PlainValue(text, "scale=", value, sizeof value)) *scale = Number(value, 1.0f);
    if (angle && PlainValue(text, "angle=", value, sizeof value)) *angle = float(Number(value, 0.0f) / 180.0 * kPi);
    if (offset && PlainValue(text, "offset=", value, sizeof value)) *offset = atoi(value);
    bool blank_follows = false;
    if (colour && PlainValue(text, "color=", value, sizeof value, &blank_follows) && blank_follows) {
        ImageColor(value, *colour);
    }
    if (shader && QuotedValue(text, kShaderKey, value, sizeof value) && strcmp(value, "NULL") != 0) {
        *shader = zk->graphics->ZK_Graphics_GetShader(value);
    }
    return bitmap;
}
