// Text that grows by appending. The storage doubles as it fills, so a text
// built from many small pieces costs time in proportion to its length. Unlike
// an nString it can also be cut short, take text in the middle, and keep its
// storage when cleared, for the next text the translator writes.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "engine/base/narray.h"
#include "engine/base/nstring.h"

namespace ShaderTool {

class TextBuffer {
public:
    TextBuffer() = default;
    TextBuffer(const TextBuffer&) = delete;
    TextBuffer& operator=(const TextBuffer&) = delete;

    void Append(const char* text, size_t length) {
        if (!text || length == 0) return;
        Reserve(length);
        memcpy(characters.items + characters.count, text, length);
        characters.count += static_cast<int>(length);
        characters.items[characters.count] = '\0';
    }
    void Append(const char* text) {
        if (text) Append(text, strlen(text));
    }
    void Append(char c) { Append(&c, 1); }
    void Append(const nString& text) { Append(text.c_str(), static_cast<size_t>(text.Length())); }

    // The decimal digits of value, as "%i" writes them.
    void AppendInteger(int value) {
        char digits[16];
        int at = sizeof digits;
        unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
        do {
            digits[--at] = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude > 0);
        if (value < 0) digits[--at] = '-';
        Append(digits + at, sizeof digits - static_cast<size_t>(at));
    }

    // As vsnprintf would write it. The conversions the translators use most,
    // "%s", "%i", "%d" and "%%" without flags or widths, are written here;
    // a format with any other goes to vsnprintf whole.
    void AppendFormatted(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        va_list args;
        va_start(args, format);
        va_list again;
        va_copy(again, args);
        int start = characters.count;
        if (!AppendSimplyFormatted(format, args)) {
            Truncate(start);
            AppendWithVsnprintf(format, again);
        }
        va_end(again);
        va_end(args);
    }

    // Puts text before the character at index (0 to Length()).
    void Insert(int index, const char* text) {
        size_t length = text ? strlen(text) : 0;
        if (index < 0 || index > characters.count || length == 0) return;
        Reserve(length);
        memmove(characters.items + index + length, characters.items + index,
                static_cast<size_t>(characters.count - index) + 1);
        memcpy(characters.items + index, text, length);
        characters.count += static_cast<int>(length);
    }

    void Swap(TextBuffer& other) {
        nArray<char>& a = characters;
        nArray<char>& b = other.characters;
        char* items = a.items;
        int count = a.count, capacity = a.capacity;
        a.items = b.items;
        a.count = b.count;
        a.capacity = b.capacity;
        b.items = items;
        b.count = count;
        b.capacity = capacity;
    }

    // Keeps the storage for the next text.
    void Clear() {
        characters.count = 0;
        if (characters.items) characters.items[0] = '\0';
    }
    // Cuts the text to its first length characters.
    void Truncate(int length) {
        if (length < 0 || length >= characters.count) return;
        characters.count = length;
        characters.items[length] = '\0';
    }

    int Length() const { return characters.count; }
    bool IsEmpty() const { return characters.count == 0; }
    // The text, always terminated; "" before anything was appended.
    const char* c_str() const { return characters.items ? characters.items : ""; }
    char operator[](int index) const { return characters.items[index]; }

private:
    // False, with part of the text written, at a conversion it leaves to
    // vsnprintf.
    bool AppendSimplyFormatted(const char* format, va_list args) {
        const char* p = format;
        while (*p) {
            const char* percent = strchr(p, '%');
            if (!percent) {
                Append(p);
                break;
            }
            Append(p, static_cast<size_t>(percent - p));
            switch (percent[1]) {
            case 's': {
                const char* text = va_arg(args, const char*);
                Append(text ? text : "(null)");
                break;
            }
            case 'i':
            case 'd': AppendInteger(va_arg(args, int)); break;
            case '%': Append('%'); break;
            default: return false;
            }
            p = percent + 2;
        }
        return true;
    }

    void AppendWithVsnprintf(const char* format, va_list args) {
        va_list again;
        va_copy(again, args);
        char small[256];
        int length = vsnprintf(small, sizeof small, format, args);
        if (length > 0 && static_cast<size_t>(length) < sizeof small) {
            Append(small, static_cast<size_t>(length));
        } else if (length > 0) {
            Reserve(static_cast<size_t>(length));
            vsnprintf(characters.items + characters.count, static_cast<size_t>(length) + 1, format, again);
            characters.count += length;
        }
        va_end(again);
    }

    // Room for length more characters and the terminator.
    void Reserve(size_t length) {
        size_t needed = static_cast<size_t>(characters.count) + length + 1;
        if (needed <= static_cast<size_t>(characters.capacity)) return;
        size_t capacity = characters.capacity > 0 ? static_cast<size_t>(characters.capacity) : 64;
        while (capacity < needed) capacity *= 2;
        characters.SetMaximumSize(static_cast<int>(capacity));
        characters.items[characters.count] = '\0';  // the move copies the text alone
    }

    nArray<char> characters;
};

}  // namespace ShaderTool
