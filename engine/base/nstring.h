// The engine's heap string and its C-string helpers.
//
// An nString owns one malloc'd block holding its text and NUL; a null block
// reads as empty. The string remembers the length of its text and the size of
// its block, so that appending writes into the room left at the end, and a
// block that is full grows to twice its size: a text built from many small
// pieces costs time in proportion to its length. Every other change makes a
// block of exactly the new text, so copies and replaced texts carry no spare
// room.
//
// The text may be written in place, character for character. It must not be
// shortened there (by a NUL) nor given another block: the next Append would
// write after the length the string remembers. Take a Substring instead, or
// give the string its own text anew (s = s.GetText()) once it is shortened.
#pragma once

#include <cstdarg>
#include <cstddef>

class nString {
public:
    constexpr nString() : text(nullptr), text_length(0), block_size(0) {}
    nString(const char* source);
    nString(const nString& other);
    nString& operator=(const nString& other);
    nString& operator=(const char* source);
    ~nString();

    static nString Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
    void SetFormatted(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void Append(const char* more);
    void AppendFormatted(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void Replace(const char* find, const char* replacement);
    nString Substring(int start, int length) const;
    nString GetToken(int index, const char* separator) const;

    // The text, or null when the string holds none.
    const char* GetText() const { return text; }
    // The text, or "" when the string holds none.
    const char* c_str() const { return text ? text : ""; }
    bool IsEmpty() const { return text == nullptr || text[0] == '\0'; }
    int Length() const;

    bool operator==(const nString& other) const;
    bool operator!=(const nString& other) const { return !(*this == other); }

    char* text;

private:
    void TakeCopyOf(const char* source);
    void TakeCopyOf(const char* source, size_t count);
    void TakeBlock(char* block, size_t count, size_t size);
    bool MakeRoom(size_t count);

    // Characters before the NUL, and bytes in the block; both 0 with no text.
    int text_length;
    int block_size;
};

// vsnprintf into the caller's buffer; the text is cut to size - 1 characters.
// Returns what vsnprintf returns: the length the whole text needed.
int nStringFormat(char* buffer, int size, const char* format, ...) __attribute__((format(printf, 3, 4)));

// Formats into buffer when the text fits, else into a new char[] block that
// the caller deletes (delete[]) when it differs from buffer.
char* nStringFormatDynamic(char* buffer, int size, const char* format, va_list args);

// Bounded copy of source into out with every occurrence of find replaced,
// as far as the text and its NUL fit into outSize bytes. Returns out, or null
// for bad arguments and when source itself does not fit (out is then left an
// empty, terminated text).
const char* nStringReplace(const char* source, const char* find, const char* replacement, char* out, int outSize);

// True when part occurs in text, ignoring the case of A-Z.
bool StringContainsStringIncaseSensitive(const char* text, const char* part);

// The index-th token between separators, copied into one of eight rotating
// 512-byte buffers of the calling thread; null when missing or longer than
// 511 characters. A result stays valid for the next seven calls of the thread.
const char* nStringGetToken(const char* text, const char* separator, int index);

// String-id hash: h = h * 37 + byte from 0, modulo 2^32; null gives 0.
unsigned int nStringHash(const char* text);
