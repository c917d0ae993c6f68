#include "engine/base/nstring.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// The longest text a string holds: lengths are ints, and the block has room
// for the NUL.
static const size_t kMaximumLength = static_cast<size_t>(INT_MAX) - 1;

nString::nString(const char* source) : text(nullptr), text_length(0), block_size(0) { TakeCopyOf(source); }

nString::nString(const nString& other) : text(nullptr), text_length(0), block_size(0) { TakeCopyOf(other.text); }

nString& nString::operator=(const nString& other) {
    TakeCopyOf(other.text);
    return *this;
}

nString& nString::operator=(const char* source) {
    TakeCopyOf(source);
    return *this;
}

nString::~nString() { free(text); }

void nString::TakeCopyOf(const char* source) { TakeCopyOf(source, source ? strlen(source) : 0); }

// The new block is made before the old one is freed, so a source that points
// into this string's own text is safe. A null source, or a failed
// allocation, leaves no text.
void nString::TakeCopyOf(const char* source, size_t count) {
    char* block = nullptr;
    if (source && count <= kMaximumLength) block = static_cast<char*>(malloc(count + 1));
    if (block) {
        memcpy(block, source, count);
        block[count] = '\0';
    }
    TakeBlock(block, count, count + 1);
}

// Frees the old block and keeps block, which holds count characters and a
// NUL in size bytes; a null block leaves no text.
void nString::TakeBlock(char* block, size_t count, size_t size) {
    free(text);
    text = block;
    text_length = block ? static_cast<int>(count) : 0;
    block_size = block ? static_cast<int>(size) : 0;
}

int nString::Length() const { return text ? static_cast<int>(strlen(text)) : 0; }

bool nString::operator==(const nString& other) const { return strcmp(c_str(), other.c_str()) == 0; }

// Appends text to buffer[at..size-1] as far as it fits; returns the new
// length had everything fitted.
static int Put(char* buffer, int size, int at, const char* text, size_t length) {
    if (at < size) {
        size_t room = static_cast<size_t>(size - at);
        memcpy(buffer + at, text, length < room ? length : room);
    }
    return at + static_cast<int>(length);
}

// The conversions most formats use, "%s", "%i", "%d" and "%%" with no flag,
// width or precision, written as vsnprintf writes them, without its cost.
// -1 at any other conversion (the caller formats with vsnprintf then);
// otherwise the length of the whole text, of which what fits before the
// last byte is written, terminated.
static int FormatSimply(char* buffer, int size, const char* format, va_list args) {
    int at = 0;
    for (const char* p = format; *p;) {
        const char* percent = strchr(p, '%');
        if (!percent) {
            at = Put(buffer, size, at, p, strlen(p));
            break;
        }
        at = Put(buffer, size, at, p, static_cast<size_t>(percent - p));
        char digits[16];
        switch (percent[1]) {
        case 's': {
            const char* text = va_arg(args, const char*);
            if (!text) text = "(null)";
            at = Put(buffer, size, at, text, strlen(text));
            break;
        }
        case 'i':
        case 'd': {
            int value = va_arg(args, int);
            unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
            int first = sizeof digits;
            do {
                digits[--first] = static_cast<char>('0' + magnitude % 10);
                magnitude /= 10;
            } while (magnitude > 0);
            if (value < 0) digits[--first] = '-';
            at = Put(buffer, size, at, digits + first, sizeof digits - static_cast<size_t>(first));
            break;
        }
        case '%': at = Put(buffer, size, at, "%", 1); break;
        default: return -1;
        }
        p = percent + 2;
    }
    if (size > 0) buffer[at < size ? at : size - 1] = '\0';
    return at;
}

char* nStringFormatDynamic(char* buffer, int size, const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    int simple = FormatSimply(buffer, size, format, copy);
    va_end(copy);
    if (simple >= 0 && simple < size) return buffer;
    va_copy(copy, args);
    int needed = vsnprintf(buffer, static_cast<size_t>(size), format, copy);
    va_end(copy);
    if (needed < 0) {
        buffer[0] = '\0';
        return buffer;
    }
    if (needed < size) return buffer;
    char* block = new char[static_cast<size_t>(needed) + 1];
    va_copy(copy, args);
    int written = vsnprintf(block, static_cast<size_t>(needed) + 1, format, copy);
    va_end(copy);
    if (written < 0) block[0] = '\0';
    return block;
}

int nStringFormat(char* buffer, int size, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int needed = vsnprintf(buffer, static_cast<size_t>(size), format, args);
    va_end(args);
    return needed;
}

nString nString::Format(const char* format, ...) {
    char stack[4096];
    va_list args;
    va_start(args, format);
    char* formatted = nStringFormatDynamic(stack, sizeof stack, format, args);
    va_end(args);
    nString result(formatted);
    if (formatted != stack) delete[] formatted;
    return result;
}

void nString::SetFormatted(const char* format, ...) {
    char stack[4096];
    va_list args;
    va_start(args, format);
    char* formatted = nStringFormatDynamic(stack, sizeof stack, format, args);
    va_end(args);
    TakeCopyOf(formatted);
    if (formatted != stack) delete[] formatted;
}

void nString::AppendFormatted(const char* format, ...) {
    char stack[4096];
    va_list args;
    va_start(args, format);
    char* formatted = nStringFormatDynamic(stack, sizeof stack, format, args);
    va_end(args);
    Append(formatted);
    if (formatted != stack) delete[] formatted;
}

// Room for count more characters and the NUL. A full block grows to twice
// its size, so that over a run of appends each character is copied to a new
// block twice on average. False, with no text left, when the memory is not
// there.
bool nString::MakeRoom(size_t count) {
    size_t needed = static_cast<size_t>(text_length) + count + 1;
    if (needed <= static_cast<size_t>(block_size)) return true;
    char* block = nullptr;
    size_t size = static_cast<size_t>(block_size) * 2;
    if (size < needed) size = needed;
    if (size > kMaximumLength + 1) size = kMaximumLength + 1;
    if (needed <= size) block = static_cast<char*>(malloc(size));
    if (block) memcpy(block, text, static_cast<size_t>(text_length) + 1);
    TakeBlock(block, static_cast<size_t>(text_length), size);
    return block != nullptr;
}

void nString::Append(const char* more) {
    if (!more) return;
    if (!text) {
        TakeCopyOf(more);
        return;
    }
    size_t count = strlen(more);
    // Where more lies in this string's text, it must be read from the block
    // the text moves to.
    uintptr_t at = reinterpret_cast<uintptr_t>(more);
    uintptr_t start = reinterpret_cast<uintptr_t>(text);
    bool inside = at >= start && at < start + static_cast<uintptr_t>(block_size);
    size_t offset = inside ? static_cast<size_t>(at - start) : 0;
    if (!MakeRoom(count)) return;
    if (inside) more = text + offset;
    memmove(text + text_length, more, count);
    text_length += static_cast<int>(count);
    text[text_length] = '\0';
}

void nString::Replace(const char* find, const char* replacement) {
    if (!find || !replacement || !text || !text[0] || !find[0]) return;
    int n = Length();
    int f = static_cast<int>(strlen(find));
    int r = static_cast<int>(strlen(replacement));
    int scratchLength = r <= f ? n : (n / f + 1) * r;
    char* scratch = static_cast<char*>(malloc(static_cast<size_t>(scratchLength) + 3));
    if (!scratch) {
        TakeBlock(nullptr, 0, 0);
        return;
    }
    scratch[0] = '\0';
    nStringReplace(text, find, replacement, scratch, scratchLength + 1);
    TakeCopyOf(scratch);
    free(scratch);
}

// Finds the index-th token of text: sets *start and *end (end exclusive).
// False when the token is missing or the separator has nothing after it.
static bool LocateToken(const char* text, const char* separator, int index, const char** start, const char** end) {
    size_t sepLength = strlen(separator);
    const char* p = text;
    const char* s = sepLength ? strstr(p, separator) : nullptr;
    for (int i = 0; i != index; ++i) {
        if (!s || s[sepLength] == '\0') return false;
        p = s + sepLength;
        s = strstr(p, separator);
        if (index < 0 && !s) return false;
    }
    *start = p;
    *end = s ? s : p + strlen(p);
    return true;
}

nString nString::GetToken(int index, const char* separator) const {
    nString result;
    if (!text || !separator) return result;
    const char* start;
    const char* end;
    if (!LocateToken(text, separator, index, &start, &end)) return result;
    int length = static_cast<int>(end - start);
    if (length >= 1023) return result;
    char buffer[1024];
    memcpy(buffer, start, static_cast<size_t>(length));
    buffer[length] = '\0';
    result = buffer;
    return result;
}

nString nString::Substring(int start, int length) const {
    nString result;
    int whole = Length();
    if (!text || start < 0 || length < 0 || start >= whole) return result;
    int kept = whole - start < length ? whole - start : length;
    result.TakeCopyOf(text + start, static_cast<size_t>(kept));
    return result;
}

const char* nStringReplace(const char* source, const char* find, const char* replacement, char* out, int outSize) {
    if (!source || !out || outSize <= 0) return nullptr;
    int n = static_cast<int>(strlen(source));
    if (n >= outSize) {
        // The source alone does not fit: leave a valid, empty text and say so.
        out[0] = '\0';
        return nullptr;
    }
    memcpy(out, source, static_cast<size_t>(n) + 1);
    if (!find || !replacement || !find[0]) return out;
    int f = static_cast<int>(strlen(find));
    int r = static_cast<int>(strlen(replacement));
    int d = r - f;
    int length = n;
    char* match = strstr(out, find);
    while (match && length + d + 1 <= outSize) {
        char* tail = match + f;
        memmove(match + r, tail, strlen(tail) + 1);
        memcpy(match, replacement, static_cast<size_t>(r));
        length += d;
        match = strstr(match + r, find);
    }
    return out;
}

bool StringContainsStringIncaseSensitive(const char* text, const char* part) {
    char lowerText[4096];
    char lowerPart[4096];
    snprintf(lowerText, sizeof lowerText, "%s", text ? text : "");
    snprintf(lowerPart, sizeof lowerPart, "%s", part ? part : "");
    for (char* c = lowerText; *c; ++c)
        if (*c >= 'A' && *c <= 'Z') *c = static_cast<char>(*c - 'A' + 'a');
    for (char* c = lowerPart; *c; ++c)
        if (*c >= 'A' && *c <= 'Z') *c = static_cast<char>(*c - 'A' + 'a');
    return strstr(lowerText, lowerPart) != nullptr;
}

const char* nStringGetToken(const char* text, const char* separator, int index) {
    // Per thread, so that two threads splitting lists never overwrite each
    // other's results.
    static thread_local int rotate = 0;
    static thread_local char buffer[8][512];
    rotate = (rotate + 1) % 8;
    if (!text || !separator) return nullptr;
    const char* start;
    const char* end;
    if (!LocateToken(text, separator, index, &start, &end)) return nullptr;
    size_t length = static_cast<size_t>(end - start);
    if (length > 511) return nullptr;
    memcpy(buffer[rotate], start, length);
    buffer[rotate][length] = '\0';
    return buffer[rotate];
}

unsigned int nStringHash(const char* text) {
    unsigned int h = 0;
    if (!text) return 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) h = h * 37u + *p;
    return h;
}
