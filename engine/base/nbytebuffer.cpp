#include "engine/base/nbytebuffer.h"

#include <climits>
#include <cstdlib>
#include <cstring>

nByteBuffer::nByteBuffer(const nByteBuffer& other) { *this = other; }

// Copies are always owned, also of an external buffer.
nByteBuffer& nByteBuffer::operator=(const nByteBuffer& other) {
    if (this == &other) return *this;
    Clear();
    swap = other.swap;
    position = other.position;
    if (other.size > 0) Append(other.data, other.size);
    return *this;
}

nByteBuffer::~nByteBuffer() { Clear(); }

void nByteBuffer::Clear() {
    if (!external) free(data);
    data = nullptr;
    size = capacity = position = 0;
    external = false;
}

void nByteBuffer::SetExternal(uint8_t* memory, int length) {
    Clear();
    data = memory;
    size = capacity = length;
    external = true;
}

bool nByteBuffer::Reserve(int needed) {
    if (needed <= capacity) return true;
    if (external) return false;
    long long doubled = 2LL * needed;
    int newCapacity = doubled > INT_MAX ? needed : static_cast<int>(doubled);
    uint8_t* grown = static_cast<uint8_t*>(realloc(data, static_cast<size_t>(newCapacity)));
    if (!grown) return false;
    data = grown;
    capacity = newCapacity;
    return true;
}

bool nByteBuffer::Append(const void* bytes, int length) {
    if (length < 0 || (length > 0 && !bytes)) return false;
    if (length > INT_MAX - size) return false;
    if (!Reserve(size + length)) return false;
    if (length) memcpy(data + size, bytes, static_cast<size_t>(length));
    size += length;
    return true;
}

bool nByteBuffer::AppendWithStringAndNullTerminator(const char* text) {
    if (!text) {
        // A lone NUL grows to twice the current size plus 2.
        if (size + 1 > capacity && !external) {
            int newCapacity = 2 * size + 2;
            uint8_t* grown = static_cast<uint8_t*>(realloc(data, static_cast<size_t>(newCapacity)));
            if (!grown) return false;
            data = grown;
            capacity = newCapacity;
        }
        static const char nul = '\0';
        return Append(&nul, 1);
    }
    return Append(text, static_cast<int>(strlen(text)) + 1);
}

bool nByteBuffer::AppendU32(uint32_t value) {
    if (swap) value = __builtin_bswap32(value);
    return Append(&value, 4);
}
