// Little-endian numbers of the engine's binary files, assembled byte by
// byte so that the host's byte order does not matter: from bytes in
// memory, into bytes in memory, and typed fields for a reader of a file.
#pragma once

#include <cstdint>
#include <cstring>

inline uint16_t ZKI_U16At(const uint8_t* bytes) { return uint16_t(bytes[0] | bytes[1] << 8); }

inline uint32_t ZKI_U32At(const uint8_t* bytes) {
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

inline int32_t ZKI_I32At(const uint8_t* bytes) { return int32_t(ZKI_U32At(bytes)); }

inline void ZKI_PutU16(uint8_t* bytes, uint32_t value) {
    bytes[0] = uint8_t(value);
    bytes[1] = uint8_t(value >> 8);
}

inline void ZKI_PutU32(uint8_t* bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[i] = uint8_t(value >> (8 * i));
}

// The reader derives from LittleEndianFields<itself> and has
// Bytes(out, count), true when all `count` bytes were read; each field is
// then read whole or fails.
template <class Reader>
class LittleEndianFields {
public:
    bool U8(uint8_t* value) { return Self()->Bytes(value, 1); }
    bool I16(int16_t* value) {
        uint16_t bits;
        if (!U16(&bits)) return false;
        *value = int16_t(bits);
        return true;
    }
    bool U16(uint16_t* value) {
        uint8_t b[2];
        if (!Self()->Bytes(b, 2)) return false;
        *value = ZKI_U16At(b);
        return true;
    }
    bool U32(uint32_t* value) {
        uint8_t b[4];
        if (!Self()->Bytes(b, 4)) return false;
        *value = ZKI_U32At(b);
        return true;
    }
    bool I32(int32_t* value) {
        uint32_t bits;
        if (!U32(&bits)) return false;
        *value = int32_t(bits);
        return true;
    }
    bool F32(float* value) {
        uint32_t bits;
        if (!U32(&bits)) return false;
        memcpy(value, &bits, 4);
        return true;
    }

private:
    Reader* Self() { return static_cast<Reader*>(this); }
};
