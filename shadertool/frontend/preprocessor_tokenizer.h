// The preprocessor's tokenizer: the tokens of directive lines ("#" lines) and
// one opaque plain-line token for every other line, which the directive
// grammar copies through unchanged.
#pragma once

#include "shadertool/frontend/tokenizer.h"

namespace ShaderTool {

class PreprocessorTokenizer : public Tokenizer {
public:
    enum Mode : int {
        LINE_START = 0,  // at the start of a line
        DIRECTIVE = 1,   // inside a directive line
        PLAIN_LINE = 2,  // skipping the rest of a plain line
    };

    explicit PreprocessorTokenizer(Log& log);

    void Initialize(const ShaderSource& source, bool strip_comments) override;
    void Reset() override;
    // TK_HASH starts a directive; TK_PP_LINE stands for a plain line (the
    // stream is then at that line's first character); TK_END at the end.
    void TokenizeNextInput(Token& token) override;
    nMap<Token::Type>::Entry* FindKeyword(const char* word) override;

    // Splices an included file in at the read position, framed by file
    // instruction lines: a line feed, "@f \"name\" 1", a line feed, the text,
    // a line feed and "@f \"current\" line+1".
    void InsertIncludeSource(const nString& included_file_name, const nString& text);
    // Rewinds to the start of the current line, enters PLAIN_LINE and makes
    // the token a plain-line token.
    void ProcessNonPreprocessorLine(Token& token);

    Mode GetMode() const { return mode; }
    void SetMode(Mode new_mode) { mode = new_mode; }

    // The directive words ("define", "elif", "else", "endif", "if",
    // "include", "defined"), filled on first use.
    static const nMap<Token::Type>& PreprocessorKeywordMap();
    static const KeywordTable& PreprocessorKeywords();
    static void InitializePreprocessorKeywordMap();

private:
    bool TokenizeLineStart(Token& token, char c);
    bool TokenizeDirective(Token& token, char c);

    Mode mode = LINE_START;
};

}  // namespace ShaderTool
