#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shadertool/frontend/preprocessor_tokenizer.h"

using ShaderTool::Log;
using ShaderTool::PreprocessorTokenizer;
using ShaderTool::ShaderSource;
using ShaderTool::SourceStream;
using ShaderTool::Token;
using ShaderTool::Tokenizer;

TEST(StripComments, KeepsLineFeedsAndColumns) {
    struct Case {
        const char* source;
        const char* stripped;
    };
    const Case cases[] = {
        {"a // note\nb", "a   \nb"},
        {"a /* x */ b", "a         b"},
        {"/* one\ntwo\nthree */x", "      \n   \n        x"},
        {"a/*\tb*/c", "a  \t   c"},
        {"x\r\ny\r", "x\ny"},
        {"/* a\r\nb */", "    \n    "},
        {"s = \"// not special\";", "s = \"  "},
        {"a /* open\nrest", "a        \n    "},
        {"a //", "a   "},
        {"a / b * c", "a / b * c"},
        {"", ""},
    };
    for (const Case& c : cases) {
        nString stripped = Tokenizer::StripComments(c.source);
        EXPECT_STREQ(stripped.c_str(), c.stripped) << c.source;
    }
}

// Tokens a comment-stripped source gives keep the columns they had.
TEST(StripComments, TokensAfterABlockCommentKeepTheirColumn) {
    Log log;
    Tokenizer tokenizer(log);
    ShaderSource source;
    source.file = "s";
    source.code = "/* c */ \tx\r\n";
    source.line = 1;
    tokenizer.Initialize(source, true);
    Token token;
    tokenizer.TokenizeNextInput(token);
    EXPECT_EQ(token.type, Token::TK_IDENTIFIER);
    EXPECT_EQ(token.location.column, 13);  // 9 characters and a tab before it
    tokenizer.TokenizeNextInput(token);
    EXPECT_EQ(token.type, Token::TK_END);
    EXPECT_EQ(token.location.line, 2);
}

TEST(SourceStream, UngetRestoresLineColumnAndTabs) {
    nString text("a\tb\ncd");
    SourceStream stream;
    stream.Initialize(text, 5, false);
    std::string read;
    std::vector<std::vector<int>> states;  // line, column, tabs before each read
    for (int i = 0; i < 8; ++i) {
        states.push_back({stream.line, stream.column, stream.tabs});
        char c = stream.GetCharacter();
        if (c) read += c;
    }
    EXPECT_EQ(read, "a\tb\ncd");
    for (int i = 7; i >= 0; --i) {
        stream.UngetCharacter();
        EXPECT_EQ((std::vector<int>{stream.line, stream.column, stream.tabs}), states[i]) << i;
    }
    stream.UngetCharacter();  // nothing before the start
    EXPECT_EQ(stream.position, 0);
}

TEST(SourceStream, UngetUntilPreviousLine) {
    nString text("ab\n\tcd\nx");
    SourceStream stream;
    stream.Initialize(text, 1, false);
    for (int i = 0; i < 5; ++i) stream.GetCharacter();  // "ab\n\tc"
    stream.UngetCharactersUntilPreviousLine();
    EXPECT_EQ(stream.position, 3);
    EXPECT_EQ(stream.line, 2);
    EXPECT_EQ(stream.column, 1);
    EXPECT_EQ(stream.tabs, 0);
    // From just after a line feed: back onto the line that the feed ends.
    for (int i = 0; i < 4; ++i) stream.GetCharacter();  // "\tcd\n"
    stream.UngetCharactersUntilPreviousLine();
    EXPECT_EQ(stream.position, 3);
    EXPECT_EQ(stream.line, 2);
}

TEST(SourceStream, InsertedTextIsReadNext) {
    struct Case {
        const char* text;
        int skip;
        const char* inserted;
        const char* result;
    };
    const Case cases[] = {
        {"abc", 0, "XY", "XYabc"},
        {"abc", 2, "XY", "abXYc"},
        {"abc", 3, "XY", "abcXY"},
        {"", 0, "XY", "XY"},
    };
    for (const Case& c : cases) {
        nString text(c.text);
        SourceStream stream;
        stream.Initialize(text, 4, false);
        for (int i = 0; i < c.skip; ++i) stream.GetCharacter();
        int line = stream.line;
        int column = stream.column;
        stream.InsertSource(nString(c.inserted));
        EXPECT_STREQ(stream.GetText().c_str(), c.result);
        EXPECT_EQ(stream.line, line);
        EXPECT_EQ(stream.column, column);
        EXPECT_EQ(stream.GetCharacter(), c.inserted[0]);
        EXPECT_STREQ(text.c_str(), c.text) << "the caller's text stays untouched";
    }
}

namespace {

struct PpToken {
    int type;
    std::string text;
    int line;
    int column;
    int position;  // stream position after the token
};

std::vector<PpToken> PreprocessorTokens(const char* code, Log& log, int first_line = 1) {
    ShaderSource source;
    source.file = "main.zksl";
    source.code = code;
    source.line = first_line;
    PreprocessorTokenizer tokenizer(log);
    tokenizer.Initialize(source, true);
    std::vector<PpToken> tokens;
    for (int guard = 0; guard < 1000; ++guard) {
        Token token;
        tokenizer.TokenizeNextInput(token);
        tokens.push_back({token.type, token.text, token.location.line, token.location.column,
                          tokenizer.GetStream().position});
        if (token.type == Token::TK_END) break;
    }
    return tokens;
}

std::vector<int> TypesOf(const std::vector<PpToken>& tokens) {
    std::vector<int> types;
    for (const PpToken& token : tokens) types.push_back(token.type);
    return types;
}

const int LINE = Token::TK_PP_LINE;
const int HASH = Token::TK_HASH;
const int END = Token::TK_END;

}  // namespace

TEST(PreprocessorTokenizer, DirectiveAndPlainLines) {
    struct Case {
        const char* code;
        std::vector<int> types;
    };
    const Case cases[] = {
        {"", {END}},
        {"float x;\n", {LINE, END}},
        {"\n\n", {LINE, LINE, END}},
        {"  #define A 1\nA", {HASH, Token::TK_PP_DEFINE, Token::TK_IDENTIFIER, Token::TK_INT_CONSTANT, LINE, END}},
        {"x #define A\n", {LINE, END}},
        {"#if defined(A) && B >= 2.5\n",
         {HASH, Token::TK_PP_IF, Token::TK_PP_DEFINED, Token::TK_LEFT_PARENTHESIS, Token::TK_IDENTIFIER,
          Token::TK_RIGHT_PARENTHESIS, Token::TK_LOGICAL_AND_OP, Token::TK_IDENTIFIER,
          Token::TK_GREATER_THAN_EQUAL_OP, Token::TK_FLOAT_CONSTANT, END}},
        {"#include \"lib.zksl\"\n", {HASH, Token::TK_PP_INCLUDE, Token::TK_STRING_LITERAL, END}},
        // ZKSL words are plain identifiers in directive lines.
        {"#elif float\n#else\n#endif", {HASH, Token::TK_PP_ELIF, Token::TK_IDENTIFIER, HASH, Token::TK_PP_ELSE, HASH,
                                        Token::TK_PP_ENDIF, END}},
        // A comment does not hide a directive, and a line split by a block
        // comment stays two lines.
        {"/* c */ #define A\n/*\n*/x", {HASH, Token::TK_PP_DEFINE, Token::TK_IDENTIFIER, LINE, LINE, END}},
        {"@x\n", {LINE, END}},
    };
    for (const Case& c : cases) {
        Log log;
        EXPECT_EQ(TypesOf(PreprocessorTokens(c.code, log)), c.types) << c.code;
        EXPECT_FALSE(log.has_messages) << c.code << ": " << log.GetText();
    }
}

// A plain-line token leaves the stream at the line's first character
// (indentation included), so the line can be copied from there.
TEST(PreprocessorTokenizer, PlainLineTokenPointsAtTheLineStart) {
    Log log;
    std::vector<PpToken> tokens = PreprocessorTokens("#define A 1\n  float a;\n\tb\n", log, 3);
    ASSERT_EQ(TypesOf(tokens), (std::vector<int>{HASH, 282, 290, 291, LINE, LINE, END}));
    EXPECT_EQ(tokens[4].position, 12);
    EXPECT_EQ(tokens[4].line, 4);
    EXPECT_EQ(tokens[4].column, 1);
    EXPECT_EQ(tokens[5].position, 23);
    EXPECT_EQ(tokens[5].line, 5);
    EXPECT_EQ(tokens[2].column, 9);
    EXPECT_EQ(tokens[2].line, 3);
}

TEST(PreprocessorTokenizer, FileInstructionLineIsObeyedAndPassedOn) {
    Log log;
    std::vector<PpToken> tokens = PreprocessorTokens("@f \"inc.zksl\" 20\n#if _\xC3\n", log);
    ASSERT_EQ(TypesOf(tokens), (std::vector<int>{LINE, HASH, Token::TK_PP_IF, Token::TK_IDENTIFIER, 0xC3, END}));
    EXPECT_EQ(tokens[0].position, 0);
    EXPECT_EQ(tokens[1].line, 20);
    EXPECT_STREQ(log.GetText(), "inc.zksl(20:6) error: invalid character (code 195) in source.\n");
}

TEST(PreprocessorTokenizer, IncludedTextIsFramedByFileInstructions) {
    Log log;
    ShaderSource source;
    source.file = "dir/main.zksl";
    source.code = "#include \"x\"\nstruct\n";
    source.line = 1;
    PreprocessorTokenizer tokenizer(log);
    tokenizer.Initialize(source, false);
    Token token;
    for (int i = 0; i < 3; ++i) tokenizer.TokenizeNextInput(token);  // # include "x"
    ASSERT_EQ(token.type, Token::TK_STRING_LITERAL);
    tokenizer.InsertIncludeSource(nString("dir/x"), nString("a\nb"));
    EXPECT_STREQ(tokenizer.GetStream().GetText().c_str(),
                 "#include \"x\"\n@f \"dir/x\" 1\na\nb\n@f \"dir/main.zksl\" 2\nstruct\n");

    // A ZKSL tokenizer over that text reports lines of the right files.
    Log zksl_log;
    nString text(tokenizer.GetStream().GetText());
    Tokenizer reader(zksl_log);
    reader.SetSource("dir/main.zksl", text, 1);
    do reader.TokenizeNextInput(token);
    while (token.type != Token::TK_END);
    EXPECT_STREQ(zksl_log.GetText(), "dir/main.zksl(2:1) error: 'struct' is a reserved word.\n");
}

TEST(PreprocessorTokenizer, ResetForgetsTheSource) {
    Log log;
    ShaderSource source;
    source.file = "f";
    source.code = "#define A\n";
    PreprocessorTokenizer tokenizer(log);
    tokenizer.Initialize(source, true);
    Token token;
    tokenizer.TokenizeNextInput(token);
    EXPECT_EQ(tokenizer.GetMode(), PreprocessorTokenizer::DIRECTIVE);
    tokenizer.Reset();
    EXPECT_EQ(tokenizer.GetMode(), PreprocessorTokenizer::LINE_START);
    EXPECT_STREQ(tokenizer.GetFileName(), "");
    tokenizer.TokenizeNextInput(token);
    EXPECT_EQ(token.type, Token::TK_END);
    EXPECT_EQ(PreprocessorTokenizer::PreprocessorKeywordMap().Count(), 7);
}
