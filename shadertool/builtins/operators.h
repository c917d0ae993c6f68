// The one id space of operators, jumps, lists, built-in functions and type
// constructors that the built-in tables, the front end and the translators
// speak in; every number is fixed.
#pragma once

namespace ShaderTool {

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

}  // namespace ShaderTool
