// The ZKSL tokenizer: cuts preprocessed source into tokens for the parser,
// one per call, with the file, line and column of each for messages. It also
// follows the file instruction lines ("@f \"name\" line") that the
// preprocessor writes around included text. The preprocessor's tokenizer
// derives from it and overrides the four virtual operations.
#pragma once

#include "engine/base/nmap.h"
#include "engine/base/nstring.h"
#include "shadertool/frontend/log.h"
#include "shadertool/frontend/name_index.h"
#include "shadertool/frontend/shader_info.h"
#include "shadertool/frontend/source_stream.h"
#include "shadertool/frontend/token.h"
#include "shadertool/frontend/types.h"

namespace ShaderTool {

// A keyword map and the hash index it is searched through. Built once, on
// first use, and never changed.
struct KeywordTable {
    nMap<Token::Type> map;
    NameIndex index;

    void Add(const char* word, Token::Type type) {
        map[word] = type;
        index.Insert(NameIndex::Hash(word, strlen(word)), map.Count() - 1);
    }
    nMap<Token::Type>::Entry* Find(const char* word) const {
        if (!word) return nullptr;
        int found = index.Find(NameIndex::Hash(word, strlen(word)),
                               [&](int i) { return strcmp(map.EntryAt(i)->key.c_str(), word) == 0; });
        return found >= 0 ? map.EntryAt(found) : nullptr;
    }
};

class Tokenizer {
public:
    // No file name, column 1, line 1, over `source` (which must outlive the
    // tokenizer's use of it). Fills the keyword map.
    Tokenizer(Log& log, const nString& source);
    explicit Tokenizer(Log& log);
    Tokenizer(const Tokenizer&) = delete;
    Tokenizer& operator=(const Tokenizer&) = delete;
    virtual ~Tokenizer();

    // Takes the source's file name and reads its code from its first line;
    // with strip_comments a copy without comments is read.
    virtual void Initialize(const ShaderSource& source, bool strip_comments);
    // Forgets the source.
    virtual void Reset();
    // Reads the next token; type TK_END at the end of the text.
    virtual void TokenizeNextInput(Token& token);
    // The keyword entry of a word, or null: what identifiers are looked up in.
    virtual nMap<Token::Type>::Entry* FindKeyword(const char* word);

    // What the parser does in place of Initialize: file name, text, column 1
    // and the first line, without comment stripping.
    void SetSource(const char* file_name, const nString& code, int first_line);

    const char* GetFileName() const { return file_name.c_str(); }
    // Location of the token being read (or last read).
    const SourceLocation& GetLocation() const { return location; }
    Log& GetLog() { return log; }
    // Whether this source reported an error: tokenizing goes on after one,
    // but what it yields (a truncated name, a bad literal) must not pass.
    bool HasReportedErrors() const { return reported_errors; }
    SourceStream& GetStream() { return stream; }

    // The process-wide ZKSL keyword map, filled on first use (safe from
    // static initialisation).
    static const nMap<Token::Type>& ZKSLKeywordMap();
    static const KeywordTable& ZKSLKeywords();
    static void InitializeZKSLKeywordMap();

    // Removes "//" and "/* */" comments and carriage returns, keeping every
    // line feed (and the columns of what follows a block comment).
    static nString StripComments(const char* text);
    // BasicType of the first token of a value text: bool, float, int, or
    // TYPE_NONE for anything else.
    static BasicType EvaluateBasicTypeOfToken(const nString& text);
    // The same for a text that must be one literal and nothing more: a text
    // with a second token (or a faulty literal) gives TYPE_NONE.
    static BasicType EvaluateBasicTypeOfLiteral(const nString& text);
    // Source text lives in C strings, so a NUL byte in a file would silently
    // end its text there. Readers of raw file bytes call this first: false,
    // with the error at the first NUL's line and column, when there is one.
    static bool ValidateSourceBytes(Log& log, const char* file_name, const char* bytes, int size, int first_line);
    static bool IsIdentifierCharacter(char c);
    static bool IsWhitespaceCharacter(char c);

protected:
    char GetCharacter() { return stream.GetCharacter(); }
    void UngetCharacter() { stream.UngetCharacter(); }
    bool IsNextCharacter(char c);
    // Records the stream's position as the location of the token being read.
    void MarkTokenStart(Token& token);
    void AppendCharacter(Token& token, char c);
    void ReportError(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Dispatches on the first character to the string, number, identifier
    // or symbol reader.
    void ProcessToken(Token& token, char first);
    // After "@": "f" reads a file instruction; any other character is dropped.
    void ProcessInternalInstruction();
    // Reads to the next line feed or the end; c ends as the line feed or 0.
    void SkipCharactersUntilTerminator(char& c);

    void ProcessStringLiteral(Token& token);
    void ProcessNumber(Token& token, char first);
    void ProcessFloat(Token& token, char c);
    void ProcessIdentifier(Token& token, char first);
    void ProcessSymbol(Token& token, char first);
    void ProcessFileInstruction();

    nString file_name;
    SourceStream stream;
    SourceLocation location = {0, 0};
    bool report_overlong = true;
    bool reported_errors = false;
    Log& log;
};

}  // namespace ShaderTool
