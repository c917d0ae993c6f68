// One token of ZKSL or of a preprocessor directive line, with its location.
//
// The numbers of Token::Type are the grammar's token numbers: the ZKSL
// grammar declares "%token ZKSL_BOOL 256" and so on with exactly the values
// below, so a token type passes to the parser unchanged. The grammar terminal
// of each kind is named in its comment; kinds marked "no terminal" never
// reach the ZKSL grammar (or are refused by it).
#pragma once

#include <cstring>

namespace ShaderTool {

// Line and column of a character, both from 1. A tab counts four columns.
// Plain data: the grammar's value union holds it.
struct SourceLocation {
    int column;
    int line;
};

struct Token {
    enum Type : int {
        TK_END = 0,  // end of input ($end)

        TK_BOOL = 256,        // "bool"      ZKSL_BOOL
        TK_FLOAT = 257,       // "float"     ZKSL_FLOAT
        TK_FLOAT2 = 258,      // "float2"    ZKSL_FLOAT2
        TK_FLOAT2X2 = 259,    // "float2x2"  ZKSL_FLOAT2X2
        TK_FLOAT3 = 260,      // "float3"    ZKSL_FLOAT3
        TK_FLOAT3X3 = 261,    // "float3x3"  ZKSL_FLOAT3X3
        TK_FLOAT4 = 262,      // "float4"    ZKSL_FLOAT4
        TK_FLOAT4X4 = 263,    // "float4x4"  ZKSL_FLOAT4X4
        TK_INT = 264,         // "int"       ZKSL_INT
        TK_INT2 = 265,        // "int2"      ZKSL_INT2
        TK_INT3 = 266,        // "int3"      ZKSL_INT3
        TK_INT4 = 267,        // "int4"      ZKSL_INT4
        TK_VOID = 268,        // "void"      ZKSL_VOID
        TK_TEXTURE2D = 269,   // no text reaches it   ZKSL_TEXTURE2D
        TK_TEXTURE3D = 270,   // no text reaches it   ZKSL_TEXTURE3D
        TK_TEXTURECUBE = 271, // no text reaches it   ZKSL_TEXTURECUBE
        TK_BREAK = 272,       // "break"     ZKSL_BREAK
        TK_CONST = 273,       // "const"     ZKSL_CONST
        TK_CONTINUE = 274,    // "continue"  ZKSL_CONTINUE
        TK_DISCARD = 275,     // "discard"   ZKSL_DISCARD
        TK_DO = 276,          // "do"        ZKSL_DO
        TK_ELSE = 277,        // "else"      ZKSL_ELSE
        TK_FOR = 278,         // "for"       ZKSL_FOR
        TK_IF = 279,          // "if"        ZKSL_IF
        TK_RETURN = 280,      // "return"    ZKSL_RETURN
        TK_WHILE = 281,       // "while"     ZKSL_WHILE

        // Directive words, only in preprocessor directive lines.
        TK_PP_DEFINE = 282,   // "define"    no terminal
        TK_PP_ELIF = 283,     // "elif"      no terminal
        TK_PP_ELSE = 284,     // "else"      no terminal
        TK_PP_ENDIF = 285,    // "endif"     no terminal
        TK_PP_IF = 286,       // "if"        no terminal
        TK_PP_INCLUDE = 287,  // "include"   no terminal

        TK_BOOL_CONSTANT = 288,   // "true", "false"   ZKSL_BOOL_CONSTANT
        TK_FLOAT_CONSTANT = 289,  // 1.5, 2e4, .5f     ZKSL_FLOAT_CONSTANT
        TK_IDENTIFIER = 290,      //                   ZKSL_IDENTIFIER
        TK_INT_CONSTANT = 291,    // 7, 0x1F, 017      ZKSL_INT_CONSTANT
        TK_STRING_LITERAL = 292,  // "text"            no terminal

        TK_AMPERSAND = 293,              // "&"    ZKSL_AMPERSAND
        TK_CARET = 294,                  // "^"    ZKSL_CARET
        TK_DECREASE_OP = 295,            // "--"   ZKSL_DECREASE_OP
        TK_INCREASE_OP = 296,            // "++"   ZKSL_INCREASE_OP
        TK_GREATER_THAN_EQUAL_OP = 297,  // ">="   ZKSL_GREATER_THAN_EQUAL_OP
        TK_LEFT_SHIFT_OP = 298,          // "<<"   ZKSL_LEFT_SHIFT_OP
        TK_LESS_THAN_EQUAL_OP = 299,     // "<="   ZKSL_LESS_THAN_EQUAL_OP
        TK_EQUAL_OP = 300,               // "=="   ZKSL_EQUAL_OP
        TK_NOT_EQUAL_OP = 301,           // "!="   ZKSL_NOT_EQUAL_OP
        TK_LOGICAL_AND_OP = 302,         // "&&"   ZKSL_LOGICAL_AND_OP
        TK_LOGICAL_OR_OP = 303,          // "||"   ZKSL_LOGICAL_OR_OP
        TK_RIGHT_SHIFT_OP = 304,         // ">>"   ZKSL_RIGHT_SHIFT_OP
        TK_VERTICAL_BAR = 305,           // "|"    ZKSL_VERTICAL_BAR
        TK_ASSIGN_ADD = 306,             // "+="   ZKSL_ASSIGN_ADD
        TK_ASSIGN_AND = 307,             // "&="   ZKSL_ASSIGN_AND
        TK_ASSIGN_DIVIDE = 308,          // "/="   ZKSL_ASSIGN_DIVIDE
        TK_ASSIGN_LEFT_SHIFT = 309,      // "<<="  ZKSL_ASSIGN_LEFT_SHIFT
        TK_ASSIGN_MODULO = 310,          // "%="   ZKSL_ASSIGN_MODULO
        TK_ASSIGN_MULTIPLY = 311,        // "*="   ZKSL_ASSIGN_MULTIPLY
        TK_ASSIGN_OR = 312,              // "|="   ZKSL_ASSIGN_OR
        TK_ASSIGN_RIGHT_SHIFT = 313,     // ">>="  ZKSL_ASSIGN_RIGHT_SHIFT
        TK_ASSIGN_SUBTRACT = 314,        // "-="   ZKSL_ASSIGN_SUBTRACT
        TK_ASSIGN_XOR = 315,             // "^="   ZKSL_ASSIGN_XOR
        TK_PP_DEFINED = 316,             // "defined" (directive lines)  no terminal
        TK_ASTERISK = 317,               // "*"    ZKSL_ASTERISK
        TK_COLON = 318,                  // ":"    ZKSL_COLON
        TK_COMMA = 319,                  // ","    ZKSL_COMMA
        TK_DASH = 320,                   // "-"    ZKSL_DASH
        TK_EQUAL = 321,                  // "="    ZKSL_EQUAL
        TK_EXCLAMATION = 322,            // "!"    ZKSL_EXCLAMATION
        TK_PERCENT = 323,                // "%"    ZKSL_PERCENT
        TK_PERIOD = 324,                 // "."    ZKSL_PERIOD
        TK_HASH = 325,                   // "#"    no terminal
        TK_PLUS = 326,                   // "+"    ZKSL_PLUS
        TK_QUESTION = 327,               // "?"    ZKSL_QUESTION
        TK_SEMICOLON = 328,              // ";"    ZKSL_SEMICOLON
        TK_SLASH = 329,                  // "/"    ZKSL_SLASH
        TK_TILDE = 330,                  // "~"    ZKSL_TILDE
        TK_LEFT_BRACE = 331,             // "{"    ZKSL_LEFT_BRACE
        TK_LEFT_BRACKET = 332,           // "["    ZKSL_LEFT_BRACKET
        TK_LEFT_CHEVRON = 333,           // "<"    ZKSL_LEFT_CHEVRON
        TK_LEFT_PARENTHESIS = 334,       // "("    ZKSL_LEFT_PARENTHESIS
        TK_RIGHT_BRACE = 335,            // "}"    ZKSL_RIGHT_BRACE
        TK_RIGHT_BRACKET = 336,          // "]"    ZKSL_RIGHT_BRACKET
        TK_RIGHT_CHEVRON = 337,          // ">"    ZKSL_RIGHT_CHEVRON
        TK_RIGHT_PARENTHESIS = 338,      // ")"    ZKSL_RIGHT_PARENTHESIS
        TK_PP_LINE = 339,                // a plain (non-directive) line of the preprocessor  no terminal
        TK_RESERVED = 340,               // reserved word   ZKSL_RESERVED
        TK_UNSET = 341,                  // before the tokenizer gives a kind  no terminal
    };

    // Any other printable character (33-126) and any control character but
    // tab and line feed becomes a token whose type is the character code
    // itself (a carriage return is type 13): the grammar refuses it.

    enum { kMaximumLength = 128 };

    SourceLocation location;  // of the token's first character
    int length;               // characters in text
    char text[kMaximumLength + 1];  // NUL-terminated, at most 128 characters
    Type type;
};

// A token as the grammars' values hold it: the token itself stays in its
// reader's store for the whole parse, so that a value stays small (Bison
// copies values at every shift and reduction).
struct TokenReference {
    const Token* token;
    operator const Token&() const { return *token; }
    const Token* operator->() const { return token; }
};

// Tokens that stay where they are for a whole parse, in blocks kept for the
// next one.
class TokenStore {
public:
    TokenStore() = default;
    TokenStore(const TokenStore&) = delete;
    TokenStore& operator=(const TokenStore&) = delete;
    ~TokenStore() {
        for (int i = 0; i < block_count; ++i) delete[] blocks[i];
        delete[] blocks;
    }
    // A zeroed token.
    Token& New() {
        int block = used / kBlockSize;
        if (block == block_count) AddBlock();
        Token& token = blocks[block][used++ % kBlockSize];
        std::memset(static_cast<void*>(&token), 0, sizeof token);
        return token;
    }
    // Every token handed out so far may be handed out again.
    void Clear() { used = 0; }

private:
    enum { kBlockSize = 256 };
    void AddBlock() {
        Token** grown = new Token*[block_count + 1];
        for (int i = 0; i < block_count; ++i) grown[i] = blocks[i];
        grown[block_count++] = new Token[kBlockSize];
        delete[] blocks;
        blocks = grown;
    }
    Token** blocks = nullptr;
    int block_count = 0;
    int used = 0;
};

}  // namespace ShaderTool
