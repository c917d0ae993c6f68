#include "shadertool/frontend/preprocessor_tokenizer.h"

namespace ShaderTool {

const KeywordTable& PreprocessorTokenizer::PreprocessorKeywords() {
    // Built on first use and never destroyed (see the ZKSL keyword map).
    static KeywordTable* table = [] {
        static const struct {
            const char* text;
            Token::Type type;
        } kWords[] = {
            {"define", Token::TK_PP_DEFINE}, {"elif", Token::TK_PP_ELIF},       {"else", Token::TK_PP_ELSE},
            {"endif", Token::TK_PP_ENDIF},   {"if", Token::TK_PP_IF},           {"include", Token::TK_PP_INCLUDE},
            {"defined", Token::TK_PP_DEFINED},
        };
        KeywordTable* words = new KeywordTable;
        for (const auto& word : kWords) words->Add(word.text, word.type);
        return words;
    }();
    return *table;
}

const nMap<Token::Type>& PreprocessorTokenizer::PreprocessorKeywordMap() { return PreprocessorKeywords().map; }

void PreprocessorTokenizer::InitializePreprocessorKeywordMap() { (void)PreprocessorKeywordMap(); }

PreprocessorTokenizer::PreprocessorTokenizer(Log& log_) : Tokenizer(log_) { InitializePreprocessorKeywordMap(); }

void PreprocessorTokenizer::Initialize(const ShaderSource& source, bool strip_comments) {
    InitializeZKSLKeywordMap();
    InitializePreprocessorKeywordMap();
    file_name = source.file;
    stream.Initialize(source.code, source.line, strip_comments);
    location = {0, 0};
    mode = LINE_START;
}

void PreprocessorTokenizer::Reset() {
    file_name = nString();
    stream.Reset();
    location = {0, 0};
    mode = LINE_START;
}

nMap<Token::Type>::Entry* PreprocessorTokenizer::FindKeyword(const char* word) {
    return PreprocessorKeywords().Find(word);
}

void PreprocessorTokenizer::ProcessNonPreprocessorLine(Token& token) {
    stream.UngetCharactersUntilPreviousLine();
    mode = PLAIN_LINE;
    MarkTokenStart(token);
    token.type = Token::TK_PP_LINE;
}

// At the start of a line: blanks are skipped, "#" opens a directive, a file
// instruction is obeyed and passed on as a plain line, anything else is a
// plain line. True when the token is complete.
bool PreprocessorTokenizer::TokenizeLineStart(Token& token, char c) {
    if (c == ' ' || c == '\t') return false;
    if (c == '#') {
        mode = DIRECTIVE;
        AppendCharacter(token, c);
        token.type = Token::TK_HASH;
        return true;
    }
    if (c == '@' && !stream.AtEnd() && IsNextCharacter('f')) ProcessFileInstruction();
    ProcessNonPreprocessorLine(token);
    return true;
}

// Inside a directive line: blanks are skipped, a line feed ends the
// directive, anything else is a token of the ZKSL readers.
bool PreprocessorTokenizer::TokenizeDirective(Token& token, char c) {
    if (c == ' ' || c == '\t') return false;
    if (c == '\n') {
        mode = LINE_START;
        return false;
    }
    ProcessToken(token, c);
    return true;
}

void PreprocessorTokenizer::TokenizeNextInput(Token& token) {
    report_overlong = true;
    token.length = 0;
    token.text[0] = '\0';
    token.type = Token::TK_UNSET;
    while (true) {
        MarkTokenStart(token);
        if (stream.AtEnd()) {
            token.type = Token::TK_END;
            return;
        }
        char c = GetCharacter();
        if (mode == PLAIN_LINE) {
            if (c != '\n') SkipCharactersUntilTerminator(c);
            mode = LINE_START;
            continue;
        }
        bool done = mode == LINE_START ? TokenizeLineStart(token, c) : TokenizeDirective(token, c);
        if (done) return;
    }
}

void PreprocessorTokenizer::InsertIncludeSource(const nString& included_file_name, const nString& text) {
    nString inserted;
    inserted.SetFormatted("\n@f \"%s\" 1\n%s\n@f \"%s\" %i", included_file_name.c_str(), text.c_str(),
                          file_name.c_str(), stream.line + 1);
    stream.InsertSource(inserted);
}

}  // namespace ShaderTool
