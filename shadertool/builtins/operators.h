// The one id space of operators, jumps, lists, built-in functions and type
// constructors that the built-in tables, the front end and the translators
// speak in; every number is fixed.
#pragma once

namespace ShaderTool {

// Operator ids: the rows of operators.def, then the ids of functions and
// lists.
enum Operator : int {
#define ZK_OPERATOR(id, ...) id,
#include "shadertool/builtins/operators.def"
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

static_assert(OP_RETURN == 46, "operators.def holds ids 0 to 46");

struct OperatorDescription {
    const char* spelling;
    int precedence;
    bool left_chain;
    bool assigns;
    bool bitwise;
};

inline constexpr OperatorDescription kOperators[] = {
#define ZK_OPERATOR(id, spelling, precedence, left_chain, assigns, bitwise) \
    {spelling, precedence, left_chain, assigns, bitwise},
#include "shadertool/builtins/operators.def"
};
constexpr int kOperatorCount = sizeof kOperators / sizeof kOperators[0];

// The row of an operator id; null for the ids of functions and lists and
// for values outside the table.
inline const OperatorDescription* FindOperator(int op) {
    return op >= 0 && op < kOperatorCount ? &kOperators[op] : nullptr;
}

}  // namespace ShaderTool
