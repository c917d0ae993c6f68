// Growable byte buffer. An external buffer wraps memory it does not own and is
// never grown or freed.
#pragma once

#include <cstdint>

class nByteBuffer {
public:
    nByteBuffer() = default;
    nByteBuffer(const nByteBuffer& other);
    nByteBuffer& operator=(const nByteBuffer& other);
    ~nByteBuffer();

    // Wraps memory the buffer does not own; size bytes are taken as written.
    void SetExternal(uint8_t* memory, int size);
    // Appends bytes, growing to twice the size needed. False when they do not
    // fit an external buffer or memory runs out.
    bool Append(const void* bytes, int length);
    // Appends the text and its NUL; a null text appends a single NUL.
    bool AppendWithStringAndNullTerminator(const char* text);
    // Appends a 32-bit value, byte-swapped when `swap` is set.
    bool AppendU32(uint32_t value);
    // Forgets the content; owned storage is freed.
    void Clear();

    uint8_t* data = nullptr;
    int size = 0;
    int capacity = 0;
    int position = 0;
    bool swap = false;
    bool external = false;

private:
    bool Reserve(int needed);
};
