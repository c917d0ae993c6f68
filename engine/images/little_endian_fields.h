// Typed little-endian fields for a reader of a binary file. The reader
// derives from LittleEndianFields<itself> and has Bytes(out, count), true
// when all `count` bytes were read; each field is then read whole or fails.
#pragma once

#include <cstdint>
#include <cstring>

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
        *value = uint16_t(b[0] | b[1] << 8);
        return true;
    }
    bool U32(uint32_t* value) {
        uint8_t b[4];
        if (!Self()->Bytes(b, 4)) return false;
        *value = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
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
