// The shading language's type record, the parser's type specifier value and
// the one id space of operators, jumps, lists, built-in functions and type
// constructors. Translators, the built-in tables and the semantic checks all
// speak in these values, so every number below is fixed.
#pragma once

#include "engine/core/nstring.h"

namespace ShaderTool {

enum BasicType : int {
    TYPE_BOOL = 0,
    TYPE_FLOAT = 1,
    TYPE_INT = 2,
    TYPE_STRUCTURE = 3,
    TYPE_TEXTURE = 4,
    TYPE_VOID = 5,  // also the type of a missing operand
    TYPE_NONE = 6,  // not typed yet, or typing failed
};

enum TextureKind : int {
    TEXTURE_2D = 0,
    TEXTURE_3D = 1,
    TEXTURE_CUBE = 2,
    TEXTURE_NONE = 3,  // carried by every type that is not a texture
};

enum Qualifier : int {
    QUALIFIER_CONST = 1,
};

// One value of the language. Copied by value; owns its structure name.
// A default Type is "no type": BasicType 6, texture kind 3, sizes 0.
struct Type {
    nString structure_name;  // empty unless basic_type is TYPE_STRUCTURE
    int array_size = 0;      // 0 not an array, N elements, -1 for "[]" without size
    BasicType basic_type = TYPE_NONE;
    int vector_size = 0;  // 1 scalars and void, 2-4 vectors, 0 matrices and textures
    int matrix_size = 0;  // 0, or 2-4 for square float matrices
    int qualifier = 0;    // Qualifier bits
    TextureKind texture_kind = TEXTURE_NONE;
    bool constant = false;  // value known at translation time

    // Exact encodings of the language's type names (array 0, qualifier 0).
    static Type Scalar(BasicType basic) { return Make(basic, 1, 0, TEXTURE_NONE); }
    static Type Vector(BasicType basic, int size) { return Make(basic, size, 0, TEXTURE_NONE); }
    static Type Matrix(int size) { return Make(TYPE_FLOAT, 0, size, TEXTURE_NONE); }
    static Type Texture(TextureKind kind) { return Make(TYPE_TEXTURE, 0, 0, kind); }
    static Type Void() { return Make(TYPE_VOID, 1, 0, TEXTURE_NONE); }
    static Type Structure(const char* name) {
        Type type = Make(TYPE_STRUCTURE, 0, 0, TEXTURE_NONE);
        type.structure_name = name;
        return type;
    }
    static Type Make(BasicType basic, int vector, int matrix, TextureKind kind) {
        Type type;
        type.basic_type = basic;
        type.vector_size = vector;
        type.matrix_size = matrix;
        type.texture_kind = kind;
        return type;
    }

    bool IsConst() const { return (qualifier & QUALIFIER_CONST) != 0; }
};

// Operator ids. The text in the comment is what GetOperatorString returns.
enum Operator : int {
    OP_BITWISE_NOT = 0,     // "~"
    OP_PARENTHESES = 1,     // "()"
    OP_LOGICAL_NOT = 2,     // "!"
    OP_NEGATE = 3,          // "-"
    OP_UNARY_PLUS = 4,      // "+"
    OP_POST_DECREMENT = 5,  // "--"
    OP_POST_INCREMENT = 6,  // "++"
    OP_PRE_DECREMENT = 7,   // "--"
    OP_PRE_INCREMENT = 8,   // "++"
    OP_ADD = 9,             // "+"
    OP_ASSIGN = 10,         // "="
    OP_ASSIGN_ADD = 11,     // "+="
    OP_ASSIGN_AND = 12,     // "&="
    OP_ASSIGN_DIVIDE = 13,  // "/="
    OP_ASSIGN_LEFT_SHIFT = 14,   // "<<="
    OP_ASSIGN_MODULO = 15,       // "%="
    OP_ASSIGN_MULTIPLY = 16,     // "*="
    OP_ASSIGN_OR = 17,           // "|="
    OP_ASSIGN_RIGHT_SHIFT = 18,  // ">>="
    OP_ASSIGN_SUBTRACT = 19,     // "-="
    OP_ASSIGN_XOR = 20,          // "^="
    OP_BITWISE_AND = 21,         // "&"
    OP_BITWISE_OR = 22,          // "|"
    OP_BITWISE_XOR = 23,         // "^"
    OP_DIVIDE = 24,              // "/"
    OP_EQUAL = 25,               // "=="
    OP_GREATER = 26,             // ">"
    OP_GREATER_EQUAL = 27,       // ">="
    OP_LEFT_SHIFT = 28,          // "<<"
    OP_LESS = 29,                // "<"
    OP_LESS_EQUAL = 30,          // "<="
    OP_LOGICAL_AND = 31,         // "&&"
    OP_LOGICAL_OR = 32,          // "||"
    OP_SELECT = 33,              // "." member or swizzle selection
    OP_MODULO = 34,              // "%"
    OP_MULTIPLY = 35,            // "*"
    OP_NOT_EQUAL = 36,           // "!="
    OP_RIGHT_SHIFT = 37,         // ">>"
    OP_SUBSCRIPT = 38,           // "[]"
    OP_SUBTRACT = 39,            // "-"
    OP_CONDITIONAL = 40,         // "?" condition and the ":" node
    OP_ALTERNATIVES = 41,        // ":" the two alternatives of a conditional
    OP_NONE = 42,                // "" no node carries it
    OP_BREAK = 43,               // "break"
    OP_CONTINUE = 44,            // "continue"
    OP_DISCARD = 45,             // "discard"
    OP_RETURN = 46,              // "return"
    OP_USER_FUNCTION = 47,       // user function: prototype, definition, call
    OP_LIST = 48,                // translation unit, statements, parameters, arguments, initializers
    OP_DECLARATION_LIST = 49,    // one declaration statement

    // Built-in functions, 50 to 90, in alphabetical order.
    OP_ABS = 50,
    OP_ACOS,
    OP_ALL,
    OP_ANY,
    OP_ASIN,
    OP_ATAN,
    OP_ATAN2,
    OP_CEIL,
    OP_CLAMP,
    OP_COS,
    OP_CROSS,  // 60
    OP_DEGREES,
    OP_DISTANCE,
    OP_DOT,
    OP_EXP,
    OP_EXP2,
    OP_FLOOR,
    OP_FRAC,
    OP_LENGTH,
    OP_LERP,
    OP_LOG,  // 70
    OP_LOG2,
    OP_MAX,
    OP_MIN,
    OP_NORMALIZE,
    OP_POW,
    OP_RADIANS,
    OP_REFLECT,
    OP_RSQRT,
    OP_SAMPLE_TEXTURE,
    OP_SAMPLE_TEXTURE_GRAD,  // 80
    OP_SAMPLE_TEXTURE_LOD,
    OP_SAMPLE_TEXTURE_LOD_OFFSET,
    OP_SATURATE,
    OP_SIGN,
    OP_SIN,
    OP_SMOOTHSTEP,
    OP_SQRT,
    OP_STEP,
    OP_TAN,
    OP_TRANSPOSE = 90,

    // Type constructors, 91 to 102.
    OP_CONSTRUCT_BOOL = 91,
    OP_CONSTRUCT_FLOAT = 92,
    OP_CONSTRUCT_FLOAT2 = 93,
    OP_CONSTRUCT_FLOAT3 = 94,
    OP_CONSTRUCT_FLOAT4 = 95,
    OP_CONSTRUCT_FLOAT2X2 = 96,
    OP_CONSTRUCT_FLOAT3X3 = 97,
    OP_CONSTRUCT_FLOAT4X4 = 98,
    OP_CONSTRUCT_INT = 99,
    OP_CONSTRUCT_INT2 = 100,
    OP_CONSTRUCT_INT3 = 101,
    OP_CONSTRUCT_INT4 = 102,
    OP_NO_CONSTRUCTOR = 103,  // void and textures have none
};

constexpr int kFirstBuiltInFunction = OP_ABS;
constexpr int kLastBuiltInFunction = OP_TRANSPOSE;
constexpr int kFirstConstructor = OP_CONSTRUCT_BOOL;
constexpr int kLastConstructor = OP_CONSTRUCT_INT4;

// The semantic value of a type specifier in the grammar. Plain data with no
// constructor, so it can sit in the grammar's value union.
struct ParserType {
    BasicType basic_type;
    Operator constructor;  // 91-102, or OP_NO_CONSTRUCTOR
    TextureKind texture_kind;
    int array_size;
    int vector_size;
    int matrix_size;
    int qualifier;
};

// A texture keeps only its kind; a matrix size of 1 or more makes a float
// matrix with vector size 0; anything else is taken as it is, with texture
// kind 3. The structure name is empty and constant is false.
Type GetTypeFromParserType(const ParserType& parser_type);

// "float3" spelled, "f3" mangled; "" for no type and unknown texture kinds.
// Array sizes are not part of the name.
nString GetTypeName(const Type& type, bool mangled);

// The source spelling of an operator; "" for every id above 46 and for
// values outside the table.
const char* GetOperatorString(int op);

}  // namespace ShaderTool
