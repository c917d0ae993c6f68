// The XML reader: the whole file in memory, read one token at a time into a
// fixed token buffer, and tokens split into a tag name and attributes.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/manifester/runtime.h"
#include "tools/manifester/xml_database.h"

namespace manifester {

namespace {

// Warnings go to the box when the interface table is filled, else to the
// console.
void Report(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Report(const char* format, ...) {
    char text[2048];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (zk && zk->Popupf) {
        zk->Popupf(1, "%s", text);
    } else {
        printf("%s", text);
    }
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// A quote that follows a backslash is escaped, unless that backslash is
// itself escaped; the text from start up to the quote is looked at.
bool QuoteIsEscaped(const char* start, const char* quote) {
    return quote - start >= 1 && quote[-1] == '\\' && !(quote - start >= 2 && quote[-2] == '\\');
}

// A heap block of the file's bytes and a terminating zero.
char* ReadThroughTable(const char* path, long* size) {
    zk_file_t* file = zk->OpenFile(path, "r");
    if (!file) return nullptr;
    char* data = static_cast<char*>(malloc(size_t(file->size) + 1));
    if (data && file->size && zk->ReadItems(data, 1, file->size, file) != file->size) {
        free(data);
        data = nullptr;
    }
    *size = long(file->size);
    zk->CloseFile(file);
    return data;
}

char* ReadThroughStdio(const char* path, long* size) {
    FILE* stream = fopen(path, "rb");
    if (!stream) return nullptr;
    char* data = nullptr;
    long length = fseek(stream, 0, SEEK_END) == 0 ? ftell(stream) : -1;
    if (length >= 0 && fseek(stream, 0, SEEK_SET) == 0) {
        data = static_cast<char*>(malloc(size_t(length) + 1));
        if (data && fread(data, 1, size_t(length), stream) != size_t(length)) {
            free(data);
            data = nullptr;
        }
    }
    fclose(stream);
    *size = length;
    return data;
}

// Turns the escapes of an attribute value into characters, in place; a
// backslash before any other character is dropped with it.
void Unescape(char* value) {
    static const char escapes[][2] = {{'n', '\n'}, {'r', '\r'}, {'t', '\t'}, {'"', '"'}, {'\\', '\\'}};
    char* out = value;
    for (const char* in = value; *in; ++in) {
        if (*in != '\\') {
            *out++ = *in;
            continue;
        }
        if (!*++in) break;
        for (const auto& e : escapes) {
            if (*in == e[0]) *out++ = e[1];
        }
    }
    *out = '\0';
}

}  // namespace

ZK_XMLReader::ZK_XMLReader()
    : file_name(nullptr),
      data(nullptr),
      size(0),
      position(0),
      length(0),
      overrun_reported(false),
      in_quote(false),
      in_tag(false),
      tag(),
      counted_to(0),
      counted_lines(0) {
    token[0] = '\0';
}

ZK_XMLReader::~ZK_XMLReader() { Close(); }

void ZK_XMLReader::Close() {
    free(file_name);
    free(data);
    file_name = nullptr;
    data = nullptr;
    size = position = 0;
    length = 0;
    in_quote = in_tag = false;
    counted_to = 0;
    counted_lines = 0;
}

bool ZK_XMLReader::Open(const char* path, bool use_stdio) {
    Close();
    if (!path) return false;
    bool through_table = !use_stdio && zk && zk->OpenFile;
    long read = 0;
    data = through_table ? ReadThroughTable(path, &read) : ReadThroughStdio(path, &read);
    if (!data) return false;
    file_name = ZKI_StrDup(path);
    size = read;
    data[size] = '\0';
    long first = 0;
    while (first < size && IsBlank(data[first])) ++first;
    if (first < size && data[first] != '<') {
        Report("First non-whitespace char in XML document needs to be '<'. First char in '%s' is #%d '%c'. Note: "
               "UTF8 BOM is not supported.\n",
               path, int(static_cast<unsigned char>(data[first])), data[first]);
        Close();
        return false;
    }
    return true;
}

// Line feeds are counted on from the last error, so that many errors in a
// long file do not count from the start each time.
int ZK_XMLReader::LineAt(long at) {
    if (at < counted_to) counted_to = counted_lines = 0;
    for (; counted_to < at; ++counted_to) {
        if (data[counted_to] == '\n') ++counted_lines;
    }
    return counted_lines;
}

void ZK_XMLReader::ParseError(const char* what, char character) {
    long at = position < size ? position : size;
    char context[255];
    int n = 0;
    for (; n < 254 && data && at + n < size && data[at + n]; ++n) context[n] = data[at + n];
    context[n] = '\0';
    Report("Parsing error (%s) around line %d in ZK_XML '%s'. Unexpected character '%c' (%x) at:\n'%s'\n", what,
           data ? LineAt(at) : 0, file_name ? file_name : "", character, unsigned(static_cast<unsigned char>(character)),
           context);
}

void ZK_XMLReader::Append(char c) {
    if (length < token_size - 1) {
        token[length++] = c;
    } else if (!in_tag && !overrun_reported) {
        overrun_reported = true;
        ParseError("buffer overrun", c);
    }
}

// Skips from just after "<!--" to just after the next "-->". False when the
// data ends first.
bool ZK_XMLReader::SkipComment() {
    for (; position < size; ++position) {
        if (strncmp(data + position, "-->", 3) == 0) {
            position += 3;
            return true;
        }
        if (strncmp(data + position, "<!-", 3) == 0) ParseError("New comment block start within a comment block.", '<');
    }
    ParseError("Comment block not ended properly.", '-');
    return false;
}

char* ZK_XMLReader::NextToken() {
    length = 0;
    overrun_reported = false;
    in_quote = in_tag = false;
    while (position < size) {
        char c = data[position++];
        if (in_quote) {
            bool escaped = QuoteIsEscaped(token, token + length);
            Append(c);
            if (c == '"' && !escaped) in_quote = false;
            continue;
        }
        if (c == '"') {
            in_quote = true;
            Append(c);
            continue;
        }
        if (!in_tag) {
            if (c == '<') {
                bool blank = true;
                for (int i = 0; i < length && blank; ++i) blank = IsBlank(token[i]);
                if (!blank) {
                    --position;
                    token[length] = '\0';
                    return token;
                }
                length = 0;
                in_tag = true;
            } else if (c == '>') {
                ParseError("not expecting '>'", c);
            }
            Append(c);
        } else {
            if (c == '\t' || c == '\r' || c == '\n') c = ' ';
            char previous = length ? token[length - 1] : '\0';
            if (c == ' ') {
                if (length == 0 || previous == ' ' || previous == '<' || previous == '=') continue;
            } else if (c == '=') {
                if (previous == ' ') --length;
            } else if (c == '<') {
                ParseError("not expecting another '<'", c);
            } else if (c == '>') {
                if (previous == '<') ParseError("not expecting '<' yet", c);
                if (previous == ' ') {
                    --length;
                } else if (previous == '/' && length >= 2 && token[length - 2] == ' ') {
                    token[length - 2] = '/';
                    --length;
                }
                Append(c);
                token[length] = '\0';
                in_tag = false;
                return token;
            }
            Append(c);
        }
        if (length >= 4 && memcmp(token + length - 4, "<!--", 4) == 0) {
            length -= 4;
            SkipComment();
            in_tag = length > 0;
        }
    }
    bool blank = true;
    for (int i = 0; i < length && blank; ++i) blank = IsBlank(token[i]);
    in_quote = in_tag = false;
    if (blank) return nullptr;
    token[length] = '\0';
    return token;
}

// Reads the attributes from p on into the current tag; false (with the
// position in the message) when one has no '=' or its value no end.
char* ZK_XMLReader::ParseAttributes(char* p) {
    bool too_many_reported = false;
    while (*p) {
        while (*p == ' ') ++p;
        if (!*p || *p == '>' || (*p == '?' && p[1] == '>')) break;
        if (*p == '/' && p[1] == '>') {
            tag.closing = true;
            break;
        }
        char* name = p;
        while (*p && *p != '=') ++p;
        if (!*p) {
            zk->Printf("ZK_XMLReader Parsing Error1 at %d/%d\n", int(position), int(size));
            return nullptr;
        }
        *p++ = '\0';
        char* value = p;
        if (*p == '"') {
            value = ++p;
            while (*p && !(*p == '"' && !QuoteIsEscaped(value, p))) ++p;
        } else {
            while (*p && *p != ' ' && *p != '>' && !(*p == '/' && p[1] == '>')) ++p;
        }
        if (!*p) {
            zk->Printf("ZK_XMLReader Parsing Error2 at %d/%d\n", int(position), int(size));
            return nullptr;
        }
        char end = *p;
        *p = '\0';
        if (end != '>' && end != '/') ++p;
        if (end == '"' && *p == '/') tag.closing = true;
        Unescape(value);
        if (tag.attribute_count < max_attributes) {
            tag.names[tag.attribute_count] = name;
            tag.values[tag.attribute_count] = value;
            ++tag.attribute_count;
        } else if (!too_many_reported) {
            too_many_reported = true;
            Report("Too many blocks (%d limit) in object '%s' in xml '%s'.\n", max_attributes, tag.name,
                   file_name ? file_name : "");
        }
        if (end == '>') break;
        if (end == '/') {
            tag.closing = true;
            break;
        }
    }
    return p;
}

const ZK_XMLReader::Tag* ZK_XMLReader::NextTag() {
    char* p = NextToken();
    if (!p) return nullptr;
    tag.name = nullptr;
    tag.attribute_count = 0;
    tag.closing = false;
    if (*p != '<') {
        tag.attribute_count = 1;
        tag.names[0] = "DATA";
        tag.values[0] = p;
        return &tag;
    }
    ++p;
    if (*p == '/') {
        tag.closing = true;
        ++p;
    }
    tag.name = p;
    while (*p && *p != ' ' && *p != '>' && !(*p == '/' && p[1] == '>')) ++p;
    char end = *p;
    *p = '\0';
    if (end == '/') tag.closing = true;
    if (end != ' ') return &tag;
    return ParseAttributes(p + 1) ? &tag : nullptr;
}

}  // namespace manifester
