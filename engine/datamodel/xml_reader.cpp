#include "engine/datamodel/xml_reader.h"

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/base/nstring.h"
#include "engine/runtime/zekar.h"
#include "engine/datamodel/datamodel.h"
#include "engine/datamodel/scrambler.h"

namespace InnerZK {

// Keys of text blocks. The block's key slots are plain char pointers; these
// two are never written through them.
static char data_key[] = "DATA";
static char cdata_key[] = "CDATA";

static const int max_kept = xml_max_block_length;

static bool IsWhitespace(char c) { return c == '\t' || c == '\n' || c == '\r' || c == ' '; }

static const char* FindBytes(const char* from, const char* end, const char* pattern) {
    size_t size = strlen(pattern);
    if (end - from < static_cast<long>(size)) return nullptr;
    return static_cast<const char*>(memmem(from, end - from, pattern, size));
}

// A '"' at index i of text does not end a value when a backslash stands
// before it, unless that backslash itself follows a backslash.
static bool IsEscapedQuote(const char* text, long long i) {
    return i >= 1 && text[i - 1] == '\\' && !(i >= 2 && text[i - 2] == '\\');
}

void WarnAndKeep(nString* kept, const char* format, ...) {
    // The popup's own limit, so that both say the same.
    char text[4096];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    zk->ZK_Popupf(ZK_MESSAGE_WARNING, "%s", text);
    if (!kept) return;
    kept->Append(text);
    kept->Append("\n");
}

// One work buffer per thread, handed on from reader to reader: a block of
// 16 KB allocated and freed for every file costs more than reading a small
// file does.
namespace {
struct SpareWorkBuffer {
    char* block = nullptr;
    ~SpareWorkBuffer() { free(block); }
};
thread_local SpareWorkBuffer spare_work;
}  // namespace

static char* TakeWorkBuffer() {
    char* block = spare_work.block;
    spare_work.block = nullptr;
    return block ? block : static_cast<char*>(malloc(xml_work_size));
}

static void GiveBackWorkBuffer(char* block) {
    if (!spare_work.block) {
        spare_work.block = block;
        return;
    }
    free(block);
}

XMLReader::XMLReader()
    : file_name(nullptr),
      depth(0),
      length(0),
      position(0),
      work(TakeWorkBuffer()),
      text(nullptr),
      valid(false),
      messages(nullptr),
      file_opened(false) {
    memset(&block, 0, sizeof block);
}

XMLReader::~XMLReader() {
    free(text);
    GiveBackWorkBuffer(work);
    free(file_name);
}

void XMLReader::CloseFile() {
    free(file_name);
    file_name = nullptr;
}

void XMLReader::TakeText(char* bytes, int size) {
    free(text);
    text = bytes;
    text[size] = '\0';
    length = size;
    position = 0;
}

bool XMLReader::OpenFile(const char* path, nArray<char>* raw_copy) {
    free(file_name);
    file_name = nullptr;
    file_opened = false;
    if (!path || !*path) return false;
    free(text);
    text = nullptr;
    length = 0;
    position = 0;
    file_name = CopyText(path);
    valid = true;

    zk_file_t* file = zk->file_system->ZK_FileSystem_OpenFile(path, "rb");
    if (!file) return false;
    file_opened = true;
    long long size = file->size;
    char* bytes = size >= 0 && size < INT_MAX ? static_cast<char*>(malloc(size + 1)) : nullptr;
    size_t read = bytes ? zk->file_system->ZK_FileSystem_ReadFile(bytes, size_t(size), file) : 0;
    zk->file_system->ZK_FileSystem_CloseFile(file);
    if (!bytes) return false;
    // Parse only what was actually read.
    TakeText(bytes, int(read));
    if (raw_copy) {
        raw_copy->count = 0;
        raw_copy->SetMaximumSize(length + 1);
        memcpy(raw_copy->items, text, size_t(length) + 1);
        raw_copy->count = length + 1;
    }

    if (Scrambler::IsScrambled(text, length)) {
        int plain_length = 0;
        char* plain = Scrambler::Decrypt(text, length, &plain_length);
        if (!plain) return false;
        char* terminated = static_cast<char*>(realloc(plain, size_t(plain_length) + 1));
        if (!terminated) {
            free(plain);
            return false;
        }
        TakeText(terminated, plain_length);
    }
    return ReadDeclaration();
}

bool XMLReader::OpenFileInMemory(const void* data, int size) {
    if (!data || size < 4) return false;
    char* bytes = static_cast<char*>(malloc(size_t(size) + 1));
    if (!bytes) return false;
    memcpy(bytes, data, size_t(size));
    TakeText(bytes, size);
    free(file_name);
    file_name = CopyText("FromMem");
    valid = true;
    return ReadDeclaration();
}

// Skips the UTF-8 signature, white space and the declaration "<?...?>".
bool XMLReader::ReadDeclaration() {
    long long p = 0;
    if (length >= 3 && memcmp(text, "\xEF\xBB\xBF", 3) == 0) p = 3;
    while (p < length && IsWhitespace(text[p])) ++p;
    if (p >= length || text[p] != '<') {
        unsigned char c = p < length ? (unsigned char)text[p] : 0;
        WarnAndKeep(messages,
                   "First non-whitespace char in XML document needs to be '<'. First char in '%s' is #%d '%c'.",
                   file_name, int(c), c ? c : ' ');
        return false;
    }
    const char* end = FindBytes(text + p + 1, text + length, "?>");
    if (!end) {
        WarnAndKeep(messages, "XML document needs to start with line like <?xml versions=... ?>. File '%s' doesn't.",
                   file_name);
        return false;
    }
    position = (end - text) + 2;
    return true;
}

void XMLReader::MarkInvalid() {
    valid = false;
    position = length;
}

void XMLReader::PrintParsingError(const char* reason, int character) {
    PrintParsingErrorFrom(reason, character, position);
}

// The popup shows the text from `from` on; its line is counted up to the
// position. A character 0 is shown as a space so that the text goes on.
void XMLReader::PrintParsingErrorFrom(const char* reason, int character, long long from) {
    long long end = position < length ? position : length;
    int line = 1;
    for (long long i = 0; i < end; ++i) {
        if (text[i] == '\n') ++line;
    }
    if (from < 0) from = 0;
    if (from > length) from = length;
    char excerpt[255];
    long long size = length - from < 254 ? length - from : 254;
    memcpy(excerpt, text + from, size_t(size));
    excerpt[size] = '\0';
    unsigned char c = (unsigned char)character;
    WarnAndKeep(messages, "Parsing error (%s) around line %d in XML '%s'. Unexpected character '%c' (%x) at:\n'%s'",
               reason, line, file_name ? file_name : "", c ? c : ' ', unsigned(c), excerpt);
}

// The position is just after "<!--": skips to just after the next "-->".
bool XMLReader::SkipComment() {
    const char* end = text + length;
    const char* close = FindBytes(text + position, end, "-->");
    const char* nested = FindBytes(text + position, close ? close : end, "<!-");
    if (nested) {
        position = nested - text;
        PrintParsingError("New comment block start within a comment block.", '<');
        MarkInvalid();
        return false;
    }
    if (!close) {
        position = length;
        PrintParsingError("Comment block not ended properly.", ' ');
        MarkInvalid();
        return false;
    }
    position = (close - text) + 3;
    return true;
}

// The position is at the '<' of "<![CDATA[": the content is handed out as it
// stands, in place in the text, so it may be of any length.
char* XMLReader::ReadCharacterData(xml_block_t* target) {
    long long start = position + 9;
    const char* close = FindBytes(text + start, text + length, "]]>");
    if (!close) {
        PrintParsingError("'![CDATA[' does not end with ']]>' pattern.", ' ');
        MarkInvalid();
        return nullptr;
    }
    long long end = close - text;
    text[end] = '\0';
    position = end + 3;
    target->keys[0] = cdata_key;
    return text + start;
}

// A text or tag longer than the work buffer: the load fails rather than
// keep a part of it.
char* XMLReader::Overrun() {
    PrintParsingError("buffer overrun", ' ');
    MarkInvalid();
    return nullptr;
}

char* XMLReader::GetNextBlock(xml_block_t* target) {
    enum State { OUTSIDE, IN_TAG, IN_VALUE };
    State state = OUTSIDE;
    State outer = OUTSIDE;  // where a value stands
    int n = 0;
    while (position < length) {
        char c = text[position];
        if (state == IN_VALUE) {
            if (c == '"' && !IsEscapedQuote(text, position)) {
                char next = position + 1 < length ? text[position + 1] : '\0';
                if (next != '/' && next != '>' && next != '?' && !IsWhitespace(next)) {
                    ++position;
                    PrintParsingError("Unexpected character after value definition.", next);
                    MarkInvalid();
                    return nullptr;
                }
                state = outer;
            }
            if (n >= max_kept) return Overrun();
            work[n++] = c;
            ++position;
            continue;
        }

        if (state == OUTSIDE) {
            if (c == '<') {
                work[n] = '\0';
                if (n > 0 && !OnlyWhitespace(work)) return work;  // the '<' is read again next time
                n = 0;
                if (length - position >= 9 && memcmp(text + position + 1, "![CDATA[", 8) == 0) {
                    return ReadCharacterData(target);
                }
                work[n++] = '<';
                state = IN_TAG;
                ++position;
                continue;
            }
            if (c == '>') {
                PrintParsingError("not expecting '>'", '>');
                MarkInvalid();
                return nullptr;
            }
            if (n >= max_kept) return Overrun();
            if (c == '"') {
                outer = OUTSIDE;
                state = IN_VALUE;
            }
            work[n++] = c;
            ++position;
            continue;
        }

        // Inside a tag.
        if (n == 1 && (c == '<' || c == '>')) {
            PrintParsingError(c == '<' ? "not expecting another '<'" : "not expecting '<' yet", c);
            MarkInvalid();
            return nullptr;
        }
        char last = work[n - 1];
        ++position;
        if (IsWhitespace(c)) {
            // A space that does not fit is not needed: a '>' follows it, or
            // the next character overruns the buffer anyway.
            if (last != '<' && last != '=' && last != ' ' && n < max_kept) work[n++] = ' ';
            continue;
        }
        if (c == '>') {
            if (last == ' ') {
                --n;
            } else if (last == '/' && n >= 2 && work[n - 2] == ' ') {
                work[n - 2] = '/';
                --n;
            }
            work[n++] = '>';
            work[n] = '\0';
            return work;
        }
        if (c == '=' && last == ' ') --n;
        if (c == '"') {
            outer = IN_TAG;
            state = IN_VALUE;
        }
        // A cut tag would lose the tail of a value and the pairs after it.
        if (n >= max_kept) {
            --position;  // shown from the character that does not fit
            return Overrun();
        }
        work[n++] = c;
        if (n >= 4 && memcmp(work + n - 4, "<!--", 4) == 0) {
            if (!SkipComment()) return nullptr;
            n -= 4;
            if (n == 0) state = OUTSIDE;
        }
    }
    // The end of the text: a pending text block is dropped.
    return nullptr;
}

xml_block_t* XMLReader::ReadNextBlock() {
    if (!work || !valid || position >= length) return nullptr;
    block.keys[0] = nullptr;
    char* raw = GetNextBlock(&block);
    if (!raw) return nullptr;
    block.name = nullptr;
    block.count = 0;
    block.closing = false;

    bool character_data = block.keys[0] == cdata_key;
    if (character_data || raw[0] != '<' || raw[1] == '!') {
        block.count = 1;
        block.keys[0] = character_data ? cdata_key : data_key;
        block.values[0] = raw;
        return &block;
    }

    char* p = raw + 1;
    if (*p == '/') {
        block.closing = true;
        ++p;
    }
    block.name = p;
    while (*p && *p != ' ' && *p != '>') ++p;
    if (*p == '>') {
        if (p > block.name && p[-1] == '/') {
            block.closing = true;
            p[-1] = '\0';
        }
        *p = '\0';
        return &block;
    }
    if (!*p) return &block;
    *p = '\0';
    return ReadPairs(p + 1) ? &block : nullptr;
}

static char* FindClosingQuote(char* value) {
    for (char* p = value + 1; *p; ++p) {
        if (*p == '"' && !(p[-1] == '\\' && p[-2] != '\\')) return p;
    }
    return nullptr;
}

char* XMLReader::SeekParmEnd(char* value) {
    char* p = FindClosingQuote(value);
    if (!p) return value + strlen(value);
    while (*p && *p != ' ' && *p != '>') ++p;
    return p;
}

// Reads the pairs key="value" of a tag from cursor on into the block.
bool XMLReader::ReadPairs(char* cursor) {
    bool warned = false;
    for (;;) {
        char* equals = strchr(cursor, '=');
        if (equals) *equals = '\0';
        if (!equals || !IsValidKeyString(cursor)) {
            PrintParsingErrorFrom("Reading next block (case #1)", 0, position - 1);
            MarkInvalid();
            return false;
        }
        char* key = cursor;
        char* quote = equals + 1;
        if (*quote != '"') {
            PrintParsingErrorFrom(
                "Expecting \" character to start value definition (all values must be defined name=\"value\" with "
                "quotes).",
                *quote, position - 1);
            PrintParsingErrorFrom("Reading next block (case #2)", 0, position - 1);
            MarkInvalid();
            return false;
        }
        char* end = SeekParmEnd(quote);
        char delimiter = *end;
        bool closes = delimiter == '>' && end[-1] == '/' && end - 1 > quote;
        char* close = FindClosingQuote(quote);
        if (close) {
            *close = '\0';
        } else {
            *(closes ? end - 1 : end) = '\0';
        }
        *end = '\0';
        char* value = quote + 1;
        FormattedStringToBinaryString(value);
        ParseXMLEntities(value);

        if (block.count < xml_max_pairs) {
            block.keys[block.count] = key;
            block.values[block.count] = value;
            ++block.count;
            if (block.count == xml_max_pairs && !warned) {
                warned = true;
                WarnAndKeep(messages, "Too many blocks (%d limit) in object '%s' in xml '%s'.", xml_max_pairs,
                           block.name ? block.name : "", file_name ? file_name : "");
            }
        }
        if (closes) {
            block.closing = true;
            return true;
        }
        if (delimiter != ' ') return true;
        cursor = end + 1;
        if (cursor[0] == '/' && cursor[1] == '>') {
            block.closing = true;
            return true;
        }
        if (!*cursor || *cursor == '>') return true;
    }
}

bool XMLReader::OnlyWhitespace(const char* p) {
    if (!p) return true;
    for (; *p; ++p) {
        if (!IsWhitespace(*p)) return false;
    }
    return true;
}

bool XMLReader::IsValidKeyString(const char* p) {
    if (!p) return true;
    for (int i = 0; p[i]; ++i) {
        char c = p[i];
        bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '.';
        bool digit = c >= '0' && c <= '9';
        if (!letter && !(digit && i > 0)) return false;
    }
    return true;
}

void XMLReader::FormattedStringToBinaryString(char* p) {
    if (!p) return;
    char* out = p;
    while (*p) {
        if (*p != '\\') {
            *out++ = *p++;
            continue;
        }
        char next = p[1];
        if (!next) break;  // a backslash at the very end is dropped
        switch (next) {
            case 'n': *out++ = '\n'; break;
            case 'r': *out++ = '\r'; break;
            case 't': *out++ = '\t'; break;
            case '\\': *out++ = '\\'; break;
            case '"': *out++ = '"'; break;
            default: break;  // removed with the backslash
        }
        p += 2;
    }
    *out = '\0';
}

static void ReplaceEntity(char* p, const char* entity, char replacement) {
    size_t size = strlen(entity);
    char* out = p;
    while (*p) {
        if (strncmp(p, entity, size) == 0) {
            *out++ = replacement;
            p += size;
        } else {
            *out++ = *p++;
        }
    }
    *out = '\0';
}

void XMLReader::ParseXMLEntities(char* p) {
    if (!p) return;
    ReplaceEntity(p, "&quot;", '"');
    ReplaceEntity(p, "&amp;", '&');
}

}  // namespace InnerZK
