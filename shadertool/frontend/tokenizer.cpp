#include "shadertool/frontend/tokenizer.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>

namespace ShaderTool {

namespace {

struct KeywordEntry {
    const char* text;
    Token::Type type;
};

// The language's words in lookup order: keywords, the two boolean literals,
// then the reserved words that the grammar refuses.
const KeywordEntry kZKSLKeywords[] = {
    {"bool", Token::TK_BOOL},
    {"float", Token::TK_FLOAT},
    {"float2", Token::TK_FLOAT2},
    {"float2x2", Token::TK_FLOAT2X2},
    {"float3", Token::TK_FLOAT3},
    {"float3x3", Token::TK_FLOAT3X3},
    {"float4", Token::TK_FLOAT4},
    {"float4x4", Token::TK_FLOAT4X4},
    {"int", Token::TK_INT},
    {"int2", Token::TK_INT2},
    {"int3", Token::TK_INT3},
    {"int4", Token::TK_INT4},
    {"void", Token::TK_VOID},
    {"break", Token::TK_BREAK},
    {"const", Token::TK_CONST},
    {"continue", Token::TK_CONTINUE},
    {"discard", Token::TK_DISCARD},
    {"do", Token::TK_DO},
    {"else", Token::TK_ELSE},
    {"for", Token::TK_FOR},
    {"if", Token::TK_IF},
    {"return", Token::TK_RETURN},
    {"while", Token::TK_WHILE},
    {"true", Token::TK_BOOL_CONSTANT},
    {"false", Token::TK_BOOL_CONSTANT},
    {"bool2", Token::TK_RESERVED},
    {"bool3", Token::TK_RESERVED},
    {"bool4", Token::TK_RESERVED},
    {"case", Token::TK_RESERVED},
    {"default", Token::TK_RESERVED},
    {"in", Token::TK_RESERVED},
    {"inout", Token::TK_RESERVED},
    {"out", Token::TK_RESERVED},
    {"sample", Token::TK_RESERVED},
    {"struct", Token::TK_RESERVED},
    {"switch", Token::TK_RESERVED},
    {"Texture2D", Token::TK_RESERVED},
    {"Texture3D", Token::TK_RESERVED},
    {"TextureCube", Token::TK_RESERVED},
    {"uint", Token::TK_RESERVED},
    {"uint2", Token::TK_RESERVED},
    {"uint3", Token::TK_RESERVED},
    {"uint4", Token::TK_RESERVED},
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsOctalDigit(char c) { return c >= '0' && c <= '7'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Single characters that are tokens of their own.
struct SingleSymbol {
    char character;
    Token::Type type;
};

const SingleSymbol kSingleSymbols[] = {
    {'#', Token::TK_HASH},         {'(', Token::TK_LEFT_PARENTHESIS}, {')', Token::TK_RIGHT_PARENTHESIS},
    {',', Token::TK_COMMA},        {':', Token::TK_COLON},            {';', Token::TK_SEMICOLON},
    {'?', Token::TK_QUESTION},     {'[', Token::TK_LEFT_BRACKET},     {']', Token::TK_RIGHT_BRACKET},
    {'{', Token::TK_LEFT_BRACE},   {'}', Token::TK_RIGHT_BRACE},      {'~', Token::TK_TILDE},
};

// Symbols that may be followed by "=" (and some by themselves): the type
// alone, with "=", and doubled (TK_UNSET where doubling means nothing).
struct CompoundSymbol {
    char character;
    Token::Type alone;
    Token::Type with_equal;
    Token::Type doubled;
};

const CompoundSymbol kCompoundSymbols[] = {
    {'!', Token::TK_EXCLAMATION, Token::TK_NOT_EQUAL_OP, Token::TK_UNSET},
    {'%', Token::TK_PERCENT, Token::TK_ASSIGN_MODULO, Token::TK_UNSET},
    {'*', Token::TK_ASTERISK, Token::TK_ASSIGN_MULTIPLY, Token::TK_UNSET},
    {'/', Token::TK_SLASH, Token::TK_ASSIGN_DIVIDE, Token::TK_UNSET},
    {'=', Token::TK_EQUAL, Token::TK_EQUAL_OP, Token::TK_UNSET},
    {'^', Token::TK_CARET, Token::TK_ASSIGN_XOR, Token::TK_UNSET},
    {'&', Token::TK_AMPERSAND, Token::TK_ASSIGN_AND, Token::TK_LOGICAL_AND_OP},
    {'+', Token::TK_PLUS, Token::TK_ASSIGN_ADD, Token::TK_INCREASE_OP},
    {'-', Token::TK_DASH, Token::TK_ASSIGN_SUBTRACT, Token::TK_DECREASE_OP},
    {'|', Token::TK_VERTICAL_BAR, Token::TK_ASSIGN_OR, Token::TK_LOGICAL_OR_OP},
};

}  // namespace

const KeywordTable& Tokenizer::ZKSLKeywords() {
    // Built on first use and never destroyed, so that tokenizers made during
    // static initialisation or destroyed at exit find it intact.
    static KeywordTable* table = [] {
        KeywordTable* keywords = new KeywordTable;
        for (const KeywordEntry& entry : kZKSLKeywords) keywords->Add(entry.text, entry.type);
        return keywords;
    }();
    return *table;
}

const nMap<Token::Type>& Tokenizer::ZKSLKeywordMap() { return ZKSLKeywords().map; }

void Tokenizer::InitializeZKSLKeywordMap() { (void)ZKSLKeywordMap(); }

Tokenizer::Tokenizer(Log& log_, const nString& source) : log(log_) {
    InitializeZKSLKeywordMap();
    stream.Initialize(source, 1, false);
}

Tokenizer::Tokenizer(Log& log_) : log(log_) { InitializeZKSLKeywordMap(); }

Tokenizer::~Tokenizer() = default;

void Tokenizer::Initialize(const ShaderSource& source, bool strip_comments) {
    InitializeZKSLKeywordMap();
    file_name = source.file;
    stream.Initialize(source.code, source.line, strip_comments);
    reported_errors = false;
}

void Tokenizer::SetSource(const char* name, const nString& code, int first_line) {
    InitializeZKSLKeywordMap();
    file_name = name;
    stream.Initialize(code, first_line, false);
    reported_errors = false;
}

void Tokenizer::Reset() {
    stream.Reset();
    location = {0, 0};
    reported_errors = false;
}

nMap<Token::Type>::Entry* Tokenizer::FindKeyword(const char* word) { return ZKSLKeywords().Find(word); }

bool Tokenizer::IsIdentifierCharacter(char c) { return IsLetter(c) || IsDigit(c) || c == '_'; }

bool Tokenizer::IsWhitespaceCharacter(char c) { return c == '\t' || c == '\n' || c == ' '; }

bool Tokenizer::IsNextCharacter(char c) {
    if (GetCharacter() == c) return true;
    UngetCharacter();
    return false;
}

void Tokenizer::MarkTokenStart(Token& token) {
    location.column = stream.GetReportedColumn();
    location.line = stream.line;
    token.location = location;
}

void Tokenizer::ReportError(const char* format, ...) {
    char stack[512];
    va_list args;
    va_start(args, format);
    char* message = nStringFormatDynamic(stack, sizeof stack, format, args);
    va_end(args);
    log.AddLocatedError(file_name.c_str(), location.line, location.column, "%s", message);
    if (message != stack) delete[] message;
    reported_errors = true;
}

void Tokenizer::AppendCharacter(Token& token, char c) {
    if (token.length < Token::kMaximumLength) {
        token.text[token.length++] = c;
        token.text[token.length] = '\0';
        return;
    }
    if (report_overlong) {
        report_overlong = false;
        ReportError("too many characters in token (maximum is %i).", static_cast<int>(Token::kMaximumLength));
    }
}

// Clears the text and sets report-overlong for a new token.
static void BeginToken(Token& token) {
    token.length = 0;
    token.text[0] = '\0';
}

void Tokenizer::TokenizeNextInput(Token& token) {
    report_overlong = true;
    BeginToken(token);
    token.type = Token::TK_UNSET;
    MarkTokenStart(token);
    while (true) {
        if (stream.AtEnd()) {
            token.type = Token::TK_END;
            return;
        }
        char c = GetCharacter();
        if (c == ' ' || c == '\t' || c == '\n') {
            MarkTokenStart(token);
            continue;
        }
        if (c == '@') {
            ProcessInternalInstruction();
            MarkTokenStart(token);
            continue;
        }
        ProcessToken(token, c);
        return;
    }
}

void Tokenizer::ProcessToken(Token& token, char first) {
    if (first == '"')
        ProcessStringLiteral(token);
    else if (IsDigit(first))
        ProcessNumber(token, first);
    else if (IsLetter(first) || first == '_')
        ProcessIdentifier(token, first);
    else
        ProcessSymbol(token, first);
}

void Tokenizer::ProcessInternalInstruction() {
    if (stream.AtEnd()) return;
    if (GetCharacter() == 'f') ProcessFileInstruction();
}

void Tokenizer::SkipCharactersUntilTerminator(char& c) {
    do {
        c = GetCharacter();
    } while (c != '\n' && c != '\0');
}

// Characters after the opening quote up to the closing one. A line feed or
// the end of the text ends the literal without a kind.
void Tokenizer::ProcessStringLiteral(Token& token) {
    while (true) {
        char c = GetCharacter();
        if (c == '"') {
            token.type = Token::TK_STRING_LITERAL;
            return;
        }
        if (c == '\n' || c == '\0') return;
        AppendCharacter(token, c);
    }
}

void Tokenizer::ProcessNumber(Token& token, char first) {
    AppendCharacter(token, first);
    char c = GetCharacter();
    if (first != '0') {
        while (IsDigit(c)) {
            AppendCharacter(token, c);
            c = GetCharacter();
        }
        if (c == '.' || c == 'e' || c == 'E') return ProcessFloat(token, c);
        UngetCharacter();
        token.type = Token::TK_INT_CONSTANT;
        return;
    }
    if (c == 'x' || c == 'X') {
        AppendCharacter(token, c);
        for (c = GetCharacter(); IsHexDigit(c); c = GetCharacter()) AppendCharacter(token, c);
        UngetCharacter();
        token.type = Token::TK_INT_CONSTANT;
        return;
    }
    // Octal. Once an 8 or 9 has come, only 8s and 9s continue the literal.
    bool bad = false;
    while ((!bad && IsOctalDigit(c)) || c == '8' || c == '9') {
        if (c == '8' || c == '9') bad = true;
        AppendCharacter(token, c);
        c = GetCharacter();
    }
    if (c == '.' || c == 'e' || c == 'E') return ProcessFloat(token, c);
    UngetCharacter();
    token.type = Token::TK_INT_CONSTANT;
    if (bad) ReportError("unexpected digit in octal literal.");
}

// Entered with c, already read, being ".", "e" or "E".
void Tokenizer::ProcessFloat(Token& token, char c) {
    if (c == '.') {
        AppendCharacter(token, c);
        for (c = GetCharacter(); IsDigit(c); c = GetCharacter()) AppendCharacter(token, c);
    }
    if (c == 'e' || c == 'E') {
        AppendCharacter(token, c);
        c = GetCharacter();
        if (c == '+' || c == '-') {
            AppendCharacter(token, c);
            c = GetCharacter();
        }
        if (!IsDigit(c)) ReportError("unexpected character in floating point literal.");
        for (; IsDigit(c); c = GetCharacter()) AppendCharacter(token, c);
    }
    if (c == 'f' || c == 'F')
        AppendCharacter(token, c);
    else
        UngetCharacter();
    token.type = Token::TK_FLOAT_CONSTANT;
}

void Tokenizer::ProcessIdentifier(Token& token, char first) {
    AppendCharacter(token, first);
    char c = GetCharacter();
    for (; IsIdentifierCharacter(c); c = GetCharacter()) AppendCharacter(token, c);
    UngetCharacter();
    nMap<Token::Type>::Entry* keyword = FindKeyword(token.text);
    if (!keyword) {
        token.type = Token::TK_IDENTIFIER;
        return;
    }
    token.type = keyword->value;
    if (token.type == Token::TK_RESERVED) ReportError("'%s' is a reserved word.", token.text);
}

void Tokenizer::ProcessSymbol(Token& token, char first) {
    AppendCharacter(token, first);
    for (const SingleSymbol& symbol : kSingleSymbols) {
        if (symbol.character == first) {
            token.type = symbol.type;
            return;
        }
    }
    for (const CompoundSymbol& symbol : kCompoundSymbols) {
        if (symbol.character != first) continue;
        if (IsNextCharacter('=')) {
            AppendCharacter(token, '=');
            token.type = symbol.with_equal;
        } else if (symbol.doubled != Token::TK_UNSET && IsNextCharacter(first)) {
            AppendCharacter(token, first);
            token.type = symbol.doubled;
        } else {
            token.type = symbol.alone;
        }
        return;
    }
    if (first == '<' || first == '>') {
        bool less = first == '<';
        if (IsNextCharacter('=')) {
            AppendCharacter(token, '=');
            token.type = less ? Token::TK_LESS_THAN_EQUAL_OP : Token::TK_GREATER_THAN_EQUAL_OP;
        } else if (IsNextCharacter(first)) {
            AppendCharacter(token, first);
            if (IsNextCharacter('=')) {
                AppendCharacter(token, '=');
                token.type = less ? Token::TK_ASSIGN_LEFT_SHIFT : Token::TK_ASSIGN_RIGHT_SHIFT;
            } else {
                token.type = less ? Token::TK_LEFT_SHIFT_OP : Token::TK_RIGHT_SHIFT_OP;
            }
        } else {
            token.type = less ? Token::TK_LEFT_CHEVRON : Token::TK_RIGHT_CHEVRON;
        }
        return;
    }
    if (first == '.') {
        char next = GetCharacter();
        UngetCharacter();
        if (IsDigit(next)) {
            BeginToken(token);
            return ProcessFloat(token, '.');
        }
        token.type = Token::TK_PERIOD;
        return;
    }
    unsigned char code = static_cast<unsigned char>(first);
    if (code >= 128 || code == 0) {
        // Outside the language. Taken as a signed character such a byte (or
        // a NUL) would read as the end of input and silently cut the source;
        // it is reported, and its token is one that no grammar accepts.
        ReportError("invalid character (code %i) in source.", static_cast<int>(code));
        token.type = code ? static_cast<Token::Type>(code) : Token::TK_UNSET;
        return;
    }
    // Any other character is a token of its own code, which the grammar
    // refuses.
    token.type = static_cast<Token::Type>(code);
}

// After "@f": a blank, the quoted file name, a blank and a line number; the
// next line is that line of that file. The name is read without the token
// length limit, since paths are often longer.
void Tokenizer::ProcessFileInstruction() {
    GetCharacter();  // the blank
    GetCharacter();  // the opening quote
    nArray<char> name;
    char c = GetCharacter();
    for (; c != '"' && c != '\n' && c != '\0'; c = GetCharacter()) name.InsertLast(c);
    name.InsertLast('\0');
    file_name = name.items;
    if (c != '"') return;  // an unterminated name ends the instruction

    GetCharacter();  // the blank
    // Digits past any real line count are read but not added, so the number
    // cannot overflow.
    const int kLargestLine = 99999999;
    int number = 0;
    for (c = GetCharacter(); IsDigit(c); c = GetCharacter())
        if (number <= kLargestLine / 10) number = number * 10 + (c - '0');
    if (c == '\n') {
        stream.line = number;
        return;
    }
    SkipCharactersUntilTerminator(c);
    stream.line = number + 1;
}

bool Tokenizer::ValidateSourceBytes(Log& log, const char* file_name, const char* bytes, int size, int first_line) {
    int line = first_line;
    int column = 1;
    for (int i = 0; bytes && i < size; ++i) {
        char c = bytes[i];
        if (c == '\0') {
            log.AddLocatedError(file_name, line, column, "invalid character (code 0) in source.");
            return false;
        }
        if (c == '\n') {
            ++line;
            column = 1;
        } else {
            column += c == '\t' ? 4 : 1;
        }
    }
    return true;
}

BasicType Tokenizer::EvaluateBasicTypeOfToken(const nString& text) {
    Log scratch;
    Tokenizer tokenizer(scratch, text);
    Token token;
    tokenizer.TokenizeNextInput(token);
    switch (token.type) {
    case Token::TK_BOOL_CONSTANT: return TYPE_BOOL;
    case Token::TK_FLOAT_CONSTANT: return TYPE_FLOAT;
    case Token::TK_INT_CONSTANT: return TYPE_INT;
    default: return TYPE_NONE;
    }
}

BasicType Tokenizer::EvaluateBasicTypeOfLiteral(const nString& text) {
    Log scratch;
    Tokenizer tokenizer(scratch, text);
    Token token;
    tokenizer.TokenizeNextInput(token);
    BasicType kind = TYPE_NONE;
    switch (token.type) {
    case Token::TK_BOOL_CONSTANT: kind = TYPE_BOOL; break;
    case Token::TK_FLOAT_CONSTANT: kind = TYPE_FLOAT; break;
    case Token::TK_INT_CONSTANT: kind = TYPE_INT; break;
    default: return TYPE_NONE;
    }
    Token next;
    tokenizer.TokenizeNextInput(next);
    return next.type == Token::TK_END && !scratch.HasErrors() ? kind : TYPE_NONE;
}

// Comment removal that keeps every line feed: a comment's characters become
// blanks (tabs kept) so later columns on the line stay where they were, and
// carriage returns are dropped everywhere.
nString Tokenizer::StripComments(const char* text) {
    if (!text) return nString("");
    size_t length = strlen(text);
    char* out = static_cast<char*>(malloc(length + 1));
    if (!out) return nString("");
    size_t o = 0;
    size_t i = 0;
    while (i < length) {
        char c = text[i];
        if (c == '\r') {
            ++i;
        } else if (c == '/' && text[i + 1] == '/') {
            out[o++] = ' ';
            out[o++] = ' ';
            for (i += 2; i < length && text[i] != '\n'; ++i) {
            }
        } else if (c == '/' && text[i + 1] == '*') {
            out[o++] = ' ';
            out[o++] = ' ';
            for (i += 2; i < length; ++i) {
                if (text[i] == '*' && text[i + 1] == '/') {
                    out[o++] = ' ';
                    out[o++] = ' ';
                    i += 2;
                    break;
                }
                if (text[i] == '\t' || text[i] == '\n')
                    out[o++] = text[i];
                else if (text[i] != '\r')
                    out[o++] = ' ';
            }
        } else {
            out[o++] = c;
            ++i;
        }
    }
    out[o] = '\0';
    nString stripped(out);
    free(out);
    return stripped;
}

}  // namespace ShaderTool
