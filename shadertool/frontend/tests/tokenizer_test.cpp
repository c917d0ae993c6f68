#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shadertool/frontend/tokenizer.h"

using ShaderTool::Log;
using ShaderTool::Token;
using ShaderTool::Tokenizer;

namespace {

struct Lexeme {
    int type;
    std::string text;
    int line;
    int column;
};

// Every token of the text up to and including the end token.
std::vector<Lexeme> Tokenize(const char* text, Log& log, const char* file = "a.zksl", int first_line = 1) {
    nString source(text);
    Tokenizer tokenizer(log);
    tokenizer.SetSource(file, source, first_line);
    std::vector<Lexeme> lexemes;
    for (int guard = 0; guard < 10000; ++guard) {
        Token token;
        tokenizer.TokenizeNextInput(token);
        lexemes.push_back({token.type, token.text, token.location.line, token.location.column});
        if (token.type == Token::TK_END) break;
    }
    return lexemes;
}

std::vector<int> TypesOf(const char* text, Log& log) {
    std::vector<int> types;
    for (const Lexeme& lexeme : Tokenize(text, log)) types.push_back(lexeme.type);
    return types;
}

const int ID = Token::TK_IDENTIFIER;
const int INT = Token::TK_INT_CONSTANT;
const int FLT = Token::TK_FLOAT_CONSTANT;
const int END = Token::TK_END;

}  // namespace

// Kinds and texts of token sequences that hinge on how far a reader looks
// ahead; none of these produce a message.
TEST(Tokenizer, CutsSourceIntoTheRightTokens) {
    struct Case {
        const char* source;
        std::vector<int> types;
        std::vector<std::string> texts;  // without the end token
    };
    const Case cases[] = {
        {"a<<=b", {ID, Token::TK_ASSIGN_LEFT_SHIFT, ID, END}, {"a", "<<=", "b"}},
        {"a<=b", {ID, Token::TK_LESS_THAN_EQUAL_OP, ID, END}, {"a", "<=", "b"}},
        {"a< =b", {ID, Token::TK_LEFT_CHEVRON, Token::TK_EQUAL, ID, END}, {"a", "<", "=", "b"}},
        {"a>>=b>>c>d>=e", {ID, 313, ID, 304, ID, 337, ID, 297, ID, END}, {"a", ">>=", "b", ">>", "c", ">", "d", ">=", "e"}},
        {"v.x", {ID, Token::TK_PERIOD, ID, END}, {"v", ".", "x"}},
        {".x", {Token::TK_PERIOD, ID, END}, {".", "x"}},
        {".5", {FLT, END}, {".5"}},
        {"1.", {FLT, END}, {"1."}},
        {"1.5e-3f", {FLT, END}, {"1.5e-3f"}},
        {"2e4", {FLT, END}, {"2e4"}},
        {"2E+4F;", {FLT, Token::TK_SEMICOLON, END}, {"2E+4F", ";"}},
        {"5f", {INT, ID, END}, {"5", "f"}},
        {"0x", {INT, END}, {"0x"}},
        {"0X1Fg", {INT, ID, END}, {"0X1F", "g"}},
        {"0", {INT, END}, {"0"}},
        {"017", {INT, END}, {"017"}},
        {"019.5", {FLT, END}, {"019.5"}},
        {"09e1", {FLT, END}, {"09e1"}},
        {"a++ + ++b", {ID, 296, 326, 296, ID, END}, {"a", "++", "+", "++", "b"}},
        {"a+++b", {ID, 296, 326, ID, END}, {"a", "++", "+", "b"}},
        {"a&&b||c&d|e^f", {ID, 302, ID, 303, ID, 293, ID, 305, ID, 294, ID, END},
         {"a", "&&", "b", "||", "c", "&", "d", "|", "e", "^", "f"}},
        {"+=-=*=/=%=&=|=^===!=", {306, 314, 311, 308, 310, 307, 312, 315, 300, 301, END},
         {"+=", "-=", "*=", "/=", "%=", "&=", "|=", "^=", "==", "!="}},
        {"-- ! ~ ? : , # ( ) [ ] { }", {295, 322, 330, 327, 318, 319, 325, 334, 338, 332, 336, 331, 335, END},
         {"--", "!", "~", "?", ":", ",", "#", "(", ")", "[", "]", "{", "}"}},
        {"a//b", {ID, Token::TK_SLASH, Token::TK_SLASH, ID, END}, {"a", "/", "/", "b"}},
        {"\"some text\" x", {Token::TK_STRING_LITERAL, ID, END}, {"some text", "x"}},
        {"$`", {'$', '`', END}, {"$", "`"}},
        {"true false Struct _x9", {288, 288, ID, ID, END}, {"true", "false", "Struct", "_x9"}},
        {"float4x4 int3 void while", {263, 266, 268, 281, END}, {"float4x4", "int3", "void", "while"}},
    };
    for (const Case& c : cases) {
        Log log;
        std::vector<Lexeme> lexemes = Tokenize(c.source, log);
        std::vector<int> types;
        std::vector<std::string> texts;
        for (const Lexeme& lexeme : lexemes) {
            types.push_back(lexeme.type);
            if (lexeme.type != END) texts.push_back(lexeme.text);
        }
        EXPECT_EQ(types, c.types) << c.source;
        EXPECT_EQ(texts, c.texts) << c.source;
        EXPECT_FALSE(log.has_messages) << c.source << ": " << log.GetText();
    }
}

// Every lexical message, in its framed form with the token's location, and
// the token that is still produced.
TEST(Tokenizer, ReportsLexicalFaultsAndGoesOn) {
    struct Case {
        const char* source;
        std::vector<int> types;
        const char* log;
    };
    const Case cases[] = {
        {"019", {INT, END}, "a.zksl(1:1) error: unexpected digit in octal literal.\n"},
        {"x 0189", {ID, INT, END}, "a.zksl(1:3) error: unexpected digit in octal literal.\n"},
        {"1e", {FLT, END}, "a.zksl(1:1) error: unexpected character in floating point literal.\n"},
        {"  1e+;", {FLT, Token::TK_SEMICOLON, END},
         "a.zksl(1:3) error: unexpected character in floating point literal.\n"},
        {"struct S", {Token::TK_RESERVED, ID, END}, "a.zksl(1:1) error: 'struct' is a reserved word.\n"},
        {"\n Texture2D t", {Token::TK_RESERVED, ID, END}, "a.zksl(2:2) error: 'Texture2D' is a reserved word.\n"},
        {"uint4 inout", {340, 340, END},
         "a.zksl(1:1) error: 'uint4' is a reserved word.\na.zksl(1:7) error: 'inout' is a reserved word.\n"},
    };
    for (const Case& c : cases) {
        Log log;
        EXPECT_EQ(TypesOf(c.source, log), c.types) << c.source;
        EXPECT_STREQ(log.GetText(), c.log) << c.source;
        EXPECT_TRUE(log.has_errors) << c.source;
    }
}

TEST(Tokenizer, OverlongTokenIsCutOnceAndTheNextTokenIsNormal) {
    std::string source(200, 'a');
    source += " b";
    Log log;
    std::vector<Lexeme> lexemes = Tokenize(source.c_str(), log);
    ASSERT_EQ(lexemes.size(), 3u);
    EXPECT_EQ(lexemes[0].type, ID);
    EXPECT_EQ(lexemes[0].text, std::string(128, 'a'));
    EXPECT_EQ(lexemes[1].text, "b");
    EXPECT_EQ(lexemes[1].column, 202);
    EXPECT_STREQ(log.GetText(), "a.zksl(1:1) error: too many characters in token (maximum is 128).\n");

    // 128 characters exactly fit.
    Log quiet;
    lexemes = Tokenize(std::string(128, 'z').c_str(), quiet);
    EXPECT_EQ(lexemes[0].text.size(), 128u);
    EXPECT_FALSE(quiet.has_messages);
}

// Columns count a tab as four; lines follow line feeds; a carriage return is
// a token of its own code that the grammar refuses.
TEST(Tokenizer, LocationsOfTokens) {
    struct Case {
        const char* source;
        int first_line;
        std::vector<std::pair<int, int>> locations;  // (line, column) up to and including the end
    };
    const Case cases[] = {
        {"", 1, {{1, 1}}},
        {"", 7, {{7, 1}}},
        {"a", 1, {{1, 1}, {1, 2}}},
        {"\ta", 1, {{1, 5}, {1, 6}}},
        {"\t\ta", 1, {{1, 9}, {1, 10}}},
        {" \t b\n\tc", 3, {{3, 7}, {4, 5}, {4, 6}}},
        {"a\r\nb", 1, {{1, 1}, {1, 2}, {2, 1}, {2, 2}}},
        {"x\n\n  yy", 10, {{10, 1}, {12, 3}, {12, 5}}},
    };
    for (const Case& c : cases) {
        Log log;
        std::vector<Lexeme> lexemes = Tokenize(c.source, log, "a.zksl", c.first_line);
        std::vector<std::pair<int, int>> locations;
        for (const Lexeme& lexeme : lexemes) locations.push_back({lexeme.line, lexeme.column});
        EXPECT_EQ(locations, c.locations) << c.source;
    }
    Log log;
    EXPECT_EQ(TypesOf("a\r\nb", log), (std::vector<int>{ID, 13, ID, END}));
}

// A file instruction line names the file and line of the line after it;
// later messages carry them.
TEST(Tokenizer, FileInstructionsMoveFileAndLine) {
    struct Case {
        const char* source;
        const char* log;
    };
    const Case cases[] = {
        {"@f \"inc\" 1\nstruct", "inc(1:1) error: 'struct' is a reserved word.\n"},
        {"a\n@f \"lib/common.zksl\" 40\n\n  struct", "lib/common.zksl(41:3) error: 'struct' is a reserved word.\n"},
        {"@f \"x\" 5 trailing words\nstruct", "x(6:1) error: 'struct' is a reserved word.\n"},
        {"@f \"inc\" 1\na\n@f \"main\" 3\nstruct", "main(3:1) error: 'struct' is a reserved word.\n"},
        // A line number past any real count stops growing instead of overflowing.
        {"@f \"big\" 123456789012345678901\nstruct", "big(12345678:1) error: 'struct' is a reserved word.\n"},
        // "@" with anything else is dropped together with that character.
        {"@xstruct", "a.zksl(1:3) error: 'struct' is a reserved word.\n"},
    };
    for (const Case& c : cases) {
        Log log;
        Tokenize(c.source, log);
        EXPECT_STREQ(log.GetText(), c.log) << c.source;
    }
}

TEST(Tokenizer, FileInstructionNameHasNoLengthLimit) {
    std::string name = "shaders/" + std::string(300, 'd') + "/include.zksl";
    std::string source = "@f \"" + name + "\" 12\nstruct";
    Log log;
    std::vector<Lexeme> lexemes = Tokenize(source.c_str(), log);
    EXPECT_EQ(lexemes[0].type, Token::TK_RESERVED);
    EXPECT_EQ(lexemes[0].line, 12);
    EXPECT_EQ(std::string(log.GetText()), name + "(12:1) error: 'struct' is a reserved word.\n");
}

// A byte outside the language used to read as the end of input and cut the
// rest of the source away silently.
TEST(Tokenizer, BytesOutsideTheLanguageAreReportedNotTakenAsEnd) {
    Log log;
    std::vector<Lexeme> lexemes = Tokenize("a \xC3\xA9 b", log);
    ASSERT_EQ(lexemes.size(), 5u);
    EXPECT_EQ(lexemes[1].type, 0xC3);
    EXPECT_EQ(lexemes[2].type, 0xA9);
    EXPECT_EQ(lexemes[3].text, "b");
    for (const Lexeme& lexeme : lexemes) EXPECT_GE(lexeme.type, 0);
    EXPECT_STREQ(log.GetText(),
                 "a.zksl(1:3) error: invalid character (code 195) in source.\n"
                 "a.zksl(1:4) error: invalid character (code 169) in source.\n");
    // Inside a string literal such bytes are text.
    Log quiet;
    lexemes = Tokenize("\"\xC3\xA9\"", quiet);
    EXPECT_EQ(lexemes[0].type, Token::TK_STRING_LITERAL);
    EXPECT_FALSE(quiet.has_messages);
}

TEST(Tokenizer, NulBytesInRawSourceAreReported) {
    struct Case {
        const char* bytes;
        int size;
        bool valid;
        const char* log;
    };
    const Case cases[] = {
        {"float a;\n", 9, true, ""},
        {"a\n\tb\0c\0", 8, false, "inc.zksl(6:6) error: invalid character (code 0) in source.\n"},
        {"\0", 1, false, "inc.zksl(5:1) error: invalid character (code 0) in source.\n"},
        {"", 0, true, ""},
    };
    for (const Case& c : cases) {
        Log log;
        EXPECT_EQ(Tokenizer::ValidateSourceBytes(log, "inc.zksl", c.bytes, c.size, 5), c.valid);
        EXPECT_STREQ(log.GetText(), c.log);
    }
}

TEST(Tokenizer, UnterminatedStringLiteralHasNoKind) {
    Log log;
    std::vector<Lexeme> lexemes = Tokenize("\"abc\nx", log);
    EXPECT_EQ(lexemes[0].type, Token::TK_UNSET);
    EXPECT_EQ(lexemes[0].text, "abc");
    EXPECT_EQ(lexemes[1].type, ID);
    EXPECT_EQ(lexemes[1].line, 2);
}

TEST(Tokenizer, BasicTypeOfAValueText) {
    struct Case {
        const char* text;
        ShaderTool::BasicType type;
    };
    const Case cases[] = {
        {"1.5", ShaderTool::TYPE_FLOAT}, {"7", ShaderTool::TYPE_INT},   {"true", ShaderTool::TYPE_BOOL},
        {"false", ShaderTool::TYPE_BOOL}, {"abc", ShaderTool::TYPE_NONE}, {"\"abc\"", ShaderTool::TYPE_NONE},
        {"", ShaderTool::TYPE_NONE},      {"  0x10 junk", ShaderTool::TYPE_INT}, {"-1", ShaderTool::TYPE_NONE},
    };
    for (const Case& c : cases) EXPECT_EQ(Tokenizer::EvaluateBasicTypeOfToken(nString(c.text)), c.type) << c.text;
}

// A translator driver is constructed during static initialisation, before
// main; tokenizing then must already find the keywords.
namespace {
struct TokenizedBeforeMain {
    TokenizedBeforeMain() {
        Log log;
        nString source("while");
        Tokenizer tokenizer(log, source);
        Token token;
        tokenizer.TokenizeNextInput(token);
        type = token.type;
    }
    int type;
};
TokenizedBeforeMain tokenized_before_main;
}  // namespace

TEST(Tokenizer, KeywordsWorkDuringStaticInitialisation) {
    EXPECT_EQ(tokenized_before_main.type, Token::TK_WHILE);
}

TEST(Tokenizer, KeywordMapHoldsWordsInOrder) {
    const nMap<Token::Type>& map = Tokenizer::ZKSLKeywordMap();
    ASSERT_EQ(map.Count(), 23 + 2 + 18);
    EXPECT_STREQ(map.EntryAt(0)->key.c_str(), "bool");
    EXPECT_EQ(map.Find("while")->value, Token::TK_WHILE);
    EXPECT_EQ(map.Find("uint4")->value, Token::TK_RESERVED);
    // Building another tokenizer does not fill it twice.
    Log log;
    Tokenizer again(log);
    EXPECT_EQ(map.Count(), 43);
}
