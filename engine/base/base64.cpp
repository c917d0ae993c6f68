// Base64 with the standard alphabet and '=' padding.

#include "engine/base/base64.h"

#include <cstdint>
#include <cstdlib>

static const char encoding_table[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
// Padding characters per input length mod 3.
static const int mod_table[] = {0, 2, 1};
static unsigned char* decoding_table = nullptr;

void base64_build_decoding_table() {
    if (decoding_table) return;
    // Zero-filled: a character outside the alphabet decodes as 0 instead of
    // reading an entry that was never written.
    decoding_table = static_cast<unsigned char*>(calloc(256, 1));
    if (!decoding_table) return;
    for (int i = 0; i < 64; ++i) decoding_table[static_cast<unsigned char>(encoding_table[i])] = static_cast<unsigned char>(i);
}

void base64_cleanup() {
    free(decoding_table);
    decoding_table = nullptr;
}

char* base64_encode(const unsigned char* data, size_t length, size_t* out_length) {
    *out_length = 4 * ((length + 2) / 3);
    char* text = static_cast<char*>(malloc(*out_length + 1));
    if (!text) return nullptr;
    size_t o = 0;
    for (size_t i = 0; i < length; i += 3) {
        uint32_t a = data[i];
        uint32_t b = i + 1 < length ? data[i + 1] : 0;
        uint32_t c = i + 2 < length ? data[i + 2] : 0;
        uint32_t group = (a << 16) | (b << 8) | c;
        text[o++] = encoding_table[(group >> 18) & 63];
        text[o++] = encoding_table[(group >> 12) & 63];
        text[o++] = encoding_table[(group >> 6) & 63];
        text[o++] = encoding_table[group & 63];
    }
    for (int i = 0; i < mod_table[length % 3]; ++i) text[*out_length - 1 - i] = '=';
    text[*out_length] = '\0';
    return text;
}

static uint32_t DecodeCharacter(char c) {
    if (c == '=') return 0;
    return decoding_table[static_cast<unsigned char>(c)];
}

unsigned char* base64_decode(const char* text, size_t length, size_t* out_length) {
    base64_build_decoding_table();
    if (!decoding_table) return nullptr;
    if (length % 4 != 0) return nullptr;
    size_t size = length / 4 * 3;
    // Only a non-empty text has last characters to look at.
    if (length >= 4) {
        if (text[length - 1] == '=') --size;
        if (text[length - 2] == '=') --size;
    }
    *out_length = size;
    // One spare byte so that an empty result is still a real allocation.
    unsigned char* bytes = static_cast<unsigned char*>(malloc(size ? size : 1));
    if (!bytes) return nullptr;
    size_t o = 0;
    for (size_t i = 0; i < length; i += 4) {
        uint32_t group = (DecodeCharacter(text[i]) << 18) | (DecodeCharacter(text[i + 1]) << 12) |
                         (DecodeCharacter(text[i + 2]) << 6) | DecodeCharacter(text[i + 3]);
        if (o < size) bytes[o++] = static_cast<unsigned char>((group >> 16) & 0xFF);
        if (o < size) bytes[o++] = static_cast<unsigned char>((group >> 8) & 0xFF);
        if (o < size) bytes[o++] = static_cast<unsigned char>(group & 0xFF);
    }
    return bytes;
}
