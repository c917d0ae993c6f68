// The engine's heap string and its C-string helpers.
//
// An nString owns one malloc'd block holding exactly its text and NUL; a null
// block reads as empty. Every change allocates a new exact-size block, which
// keeps the string one pointer wide.
#pragma once

#include <cstdarg>
#include <cstddef>

class nString {
public:
    constexpr nString() : text(nullptr) {}
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
