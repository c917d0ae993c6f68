#include "engine/datamodel/scrambler.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace Scrambler {

const char key[14] = "42PLUM_VAULTS";

static uint32_t ReadU32(const char* bytes) {
    const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes);
    return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

static void WriteU32(char* bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[i] = char((value >> (8 * i)) & 0xFF);
}

bool IsScrambled(const char* data, long long length) {
    return data && length >= header_length && memcmp(data, key, magic_length) == 0;
}

char* Decrypt(const char* data, int length, int* out_length) {
    if (out_length) *out_length = 0;
    if (!IsScrambled(data, length)) return nullptr;
    uint32_t count = ReadU32(data + 14);
    uint32_t stored_checksum = ReadU32(data + 18);
    if (uint64_t(count) + header_length != uint64_t(length)) return nullptr;

    char* plain = static_cast<char*>(malloc(count > 0 ? count : 1));
    if (!plain) return nullptr;
    const unsigned char* scrambled = reinterpret_cast<const unsigned char*>(data + header_length);
    uint32_t checksum = 0;
    for (uint32_t i = 0; i < count; ++i) {
        unsigned char s = scrambled[i];
        plain[i] = char((s + (unsigned char)key[i % key_length] + i) & 0xFF);
        // Each byte weighs its position, read as a signed 8-bit number.
        checksum += i * uint32_t(int32_t(int8_t(s)));
    }
    if (checksum != stored_checksum) {
        free(plain);
        return nullptr;
    }
    if (out_length) *out_length = int(count);
    return plain;
}

char* Encrypt(const char* plain, int length, int* out_length) {
    if (out_length) *out_length = 0;
    if (!plain || length < 0 || length > INT32_MAX - header_length) return nullptr;
    char* data = static_cast<char*>(malloc(size_t(length) + header_length));
    if (!data) return nullptr;
    memcpy(data, key, magic_length);
    unsigned char* scrambled = reinterpret_cast<unsigned char*>(data + header_length);
    uint32_t checksum = 0;
    for (uint32_t i = 0; i < uint32_t(length); ++i) {
        unsigned char s = (unsigned char)((unsigned char)plain[i] - (unsigned char)key[i % key_length] - i);
        scrambled[i] = s;
        checksum += i * uint32_t(int32_t(int8_t(s)));
    }
    WriteU32(data + 14, uint32_t(length));
    WriteU32(data + 18, checksum);
    if (out_length) *out_length = length + header_length;
    return data;
}

}  // namespace Scrambler
