// Every overload of the ZKSL built-in functions and type constructors, in
// registration order: the twelve constructors by ascending id, then the
// functions by ascending id (alphabetical). A call resolves to the first
// overload that accepts its arguments, so the order below decides, e.g.
// float(int) is taken before float(float) and lerp(float2, float2, float)
// before lerp(float2, float2, float2).
#include "shadertool/builtins/builtin_tables.h"

namespace ShaderTool {

const BuiltInOverloadRow kBuiltInOverloads[] = {
    {"bool", OP_CONSTRUCT_BOOL, "b", "b"},
    {"bool", OP_CONSTRUCT_BOOL, "b", "i"},
    {"bool", OP_CONSTRUCT_BOOL, "b", "f"},

    {"float", OP_CONSTRUCT_FLOAT, "f", "b"},
    {"float", OP_CONSTRUCT_FLOAT, "f", "i"},
    {"float", OP_CONSTRUCT_FLOAT, "f", "f"},

    {"float2", OP_CONSTRUCT_FLOAT2, "f2", "f"},
    {"float2", OP_CONSTRUCT_FLOAT2, "f2", "2*f"},
    {"float2", OP_CONSTRUCT_FLOAT2, "f2", "f2"},
    {"float2", OP_CONSTRUCT_FLOAT2, "f2", "f3"},
    {"float2", OP_CONSTRUCT_FLOAT2, "f2", "f4"},

    {"float3", OP_CONSTRUCT_FLOAT3, "f3", "f"},
    {"float3", OP_CONSTRUCT_FLOAT3, "f3", "3*f"},
    {"float3", OP_CONSTRUCT_FLOAT3, "f3", "f,f2"},
    {"float3", OP_CONSTRUCT_FLOAT3, "f3", "f2,f"},
    {"float3", OP_CONSTRUCT_FLOAT3, "f3", "f3"},
    {"float3", OP_CONSTRUCT_FLOAT3, "f3", "f4"},

    {"float4", OP_CONSTRUCT_FLOAT4, "f4", "f"},
    {"float4", OP_CONSTRUCT_FLOAT4, "f4", "4*f"},
    {"float4", OP_CONSTRUCT_FLOAT4, "f4", "f,f,f2"},
    {"float4", OP_CONSTRUCT_FLOAT4, "f4", "f,f2,f"},
    {"float4", OP_CONSTRUCT_FLOAT4, "f4", "f,f3"},
    {"float4", OP_CONSTRUCT_FLOAT4, "f4", "f2,f,f"},
    {"float4", OP_CONSTRUCT_FLOAT4, "f4", "2*f2"},
    {"float4", OP_CONSTRUCT_FLOAT4, "f4", "f3,f"},
    {"float4", OP_CONSTRUCT_FLOAT4, "f4", "f4"},

    {"float2x2", OP_CONSTRUCT_FLOAT2X2, "f2x2", "4*f"},
    {"float2x2", OP_CONSTRUCT_FLOAT2X2, "f2x2", "2*f2"},
    {"float2x2", OP_CONSTRUCT_FLOAT2X2, "f2x2", "f2x2"},
    {"float2x2", OP_CONSTRUCT_FLOAT2X2, "f2x2", "f3x3"},
    {"float2x2", OP_CONSTRUCT_FLOAT2X2, "f2x2", "f4x4"},

    {"float3x3", OP_CONSTRUCT_FLOAT3X3, "f3x3", "9*f"},
    {"float3x3", OP_CONSTRUCT_FLOAT3X3, "f3x3", "3*f3"},
    {"float3x3", OP_CONSTRUCT_FLOAT3X3, "f3x3", "f3x3"},
    {"float3x3", OP_CONSTRUCT_FLOAT3X3, "f3x3", "f4x4"},

    {"float4x4", OP_CONSTRUCT_FLOAT4X4, "f4x4", "16*f"},
    {"float4x4", OP_CONSTRUCT_FLOAT4X4, "f4x4", "4*f4"},
    {"float4x4", OP_CONSTRUCT_FLOAT4X4, "f4x4", "f4x4"},

    {"int", OP_CONSTRUCT_INT, "i", "b"},
    {"int", OP_CONSTRUCT_INT, "i", "i"},
    {"int", OP_CONSTRUCT_INT, "i", "f"},

    {"int2", OP_CONSTRUCT_INT2, "i2", "i"},
    {"int2", OP_CONSTRUCT_INT2, "i2", "2*i"},
    {"int2", OP_CONSTRUCT_INT2, "i2", "i2"},
    {"int2", OP_CONSTRUCT_INT2, "i2", "i3"},
    {"int2", OP_CONSTRUCT_INT2, "i2", "i4"},

    {"int3", OP_CONSTRUCT_INT3, "i3", "i"},
    {"int3", OP_CONSTRUCT_INT3, "i3", "3*i"},
    {"int3", OP_CONSTRUCT_INT3, "i3", "i,i2"},
    {"int3", OP_CONSTRUCT_INT3, "i3", "i2,i"},
    {"int3", OP_CONSTRUCT_INT3, "i3", "i3"},
    {"int3", OP_CONSTRUCT_INT3, "i3", "i4"},

    {"int4", OP_CONSTRUCT_INT4, "i4", "i"},
    {"int4", OP_CONSTRUCT_INT4, "i4", "4*i"},
    {"int4", OP_CONSTRUCT_INT4, "i4", "i,i,i2"},
    {"int4", OP_CONSTRUCT_INT4, "i4", "i,i2,i"},
    {"int4", OP_CONSTRUCT_INT4, "i4", "i,i3"},
    {"int4", OP_CONSTRUCT_INT4, "i4", "i2,i,i"},
    {"int4", OP_CONSTRUCT_INT4, "i4", "2*i2"},
    {"int4", OP_CONSTRUCT_INT4, "i4", "i3,i"},
    {"int4", OP_CONSTRUCT_INT4, "i4", "i4"},

    {"abs", OP_ABS, "f", "f"},
    {"abs", OP_ABS, "f2", "f2"},
    {"abs", OP_ABS, "f3", "f3"},
    {"abs", OP_ABS, "f4", "f4"},

    {"acos", OP_ACOS, "f", "f"},
    {"acos", OP_ACOS, "f2", "f2"},
    {"acos", OP_ACOS, "f3", "f3"},
    {"acos", OP_ACOS, "f4", "f4"},

    {"all", OP_ALL, "b", "i2"},
    {"all", OP_ALL, "b", "i3"},
    {"all", OP_ALL, "b", "i4"},
    {"all", OP_ALL, "b", "f2"},
    {"all", OP_ALL, "b", "f3"},
    {"all", OP_ALL, "b", "f4"},

    {"any", OP_ANY, "b", "i2"},
    {"any", OP_ANY, "b", "i3"},
    {"any", OP_ANY, "b", "i4"},
    {"any", OP_ANY, "b", "f2"},
    {"any", OP_ANY, "b", "f3"},
    {"any", OP_ANY, "b", "f4"},

    {"asin", OP_ASIN, "f", "f"},
    {"asin", OP_ASIN, "f2", "f2"},
    {"asin", OP_ASIN, "f3", "f3"},
    {"asin", OP_ASIN, "f4", "f4"},

    {"atan", OP_ATAN, "f", "f"},
    {"atan", OP_ATAN, "f2", "f2"},
    {"atan", OP_ATAN, "f3", "f3"},
    {"atan", OP_ATAN, "f4", "f4"},

    {"atan2", OP_ATAN2, "f", "2*f"},
    {"atan2", OP_ATAN2, "f2", "2*f2"},
    {"atan2", OP_ATAN2, "f3", "2*f3"},
    {"atan2", OP_ATAN2, "f4", "2*f4"},

    {"ceil", OP_CEIL, "f", "f"},
    {"ceil", OP_CEIL, "f2", "f2"},
    {"ceil", OP_CEIL, "f3", "f3"},
    {"ceil", OP_CEIL, "f4", "f4"},

    {"clamp", OP_CLAMP, "f", "3*f"},
    {"clamp", OP_CLAMP, "f2", "3*f2"},
    {"clamp", OP_CLAMP, "f3", "3*f3"},
    {"clamp", OP_CLAMP, "f4", "3*f4"},

    {"cos", OP_COS, "f", "f"},
    {"cos", OP_COS, "f2", "f2"},
    {"cos", OP_COS, "f3", "f3"},
    {"cos", OP_COS, "f4", "f4"},

    {"cross", OP_CROSS, "f3", "2*f3"},

    {"degrees", OP_DEGREES, "f", "f"},
    {"degrees", OP_DEGREES, "f2", "f2"},
    {"degrees", OP_DEGREES, "f3", "f3"},
    {"degrees", OP_DEGREES, "f4", "f4"},

    {"distance", OP_DISTANCE, "f", "2*f"},
    {"distance", OP_DISTANCE, "f", "2*f2"},
    {"distance", OP_DISTANCE, "f", "2*f3"},
    {"distance", OP_DISTANCE, "f", "2*f4"},

    {"dot", OP_DOT, "f", "2*f"},
    {"dot", OP_DOT, "f", "2*f2"},
    {"dot", OP_DOT, "f", "2*f3"},
    {"dot", OP_DOT, "f", "2*f4"},

    {"exp", OP_EXP, "f", "f"},
    {"exp", OP_EXP, "f2", "f2"},
    {"exp", OP_EXP, "f3", "f3"},
    {"exp", OP_EXP, "f4", "f4"},

    {"exp2", OP_EXP2, "f", "f"},
    {"exp2", OP_EXP2, "f2", "f2"},
    {"exp2", OP_EXP2, "f3", "f3"},
    {"exp2", OP_EXP2, "f4", "f4"},

    {"floor", OP_FLOOR, "f", "f"},
    {"floor", OP_FLOOR, "f2", "f2"},
    {"floor", OP_FLOOR, "f3", "f3"},
    {"floor", OP_FLOOR, "f4", "f4"},

    {"frac", OP_FRAC, "f", "f"},
    {"frac", OP_FRAC, "f2", "f2"},
    {"frac", OP_FRAC, "f3", "f3"},
    {"frac", OP_FRAC, "f4", "f4"},

    {"length", OP_LENGTH, "f", "f"},
    {"length", OP_LENGTH, "f", "f2"},
    {"length", OP_LENGTH, "f", "f3"},
    {"length", OP_LENGTH, "f", "f4"},

    {"lerp", OP_LERP, "f", "3*f"},
    {"lerp", OP_LERP, "f2", "f2,f2,f"},
    {"lerp", OP_LERP, "f2", "3*f2"},
    {"lerp", OP_LERP, "f3", "f3,f3,f"},
    {"lerp", OP_LERP, "f3", "3*f3"},
    {"lerp", OP_LERP, "f4", "f4,f4,f"},
    {"lerp", OP_LERP, "f4", "3*f4"},

    {"log", OP_LOG, "f", "f"},
    {"log", OP_LOG, "f2", "f2"},
    {"log", OP_LOG, "f3", "f3"},
    {"log", OP_LOG, "f4", "f4"},

    {"log2", OP_LOG2, "f", "f"},
    {"log2", OP_LOG2, "f2", "f2"},
    {"log2", OP_LOG2, "f3", "f3"},
    {"log2", OP_LOG2, "f4", "f4"},

    {"max", OP_MAX, "f", "2*f"},
    {"max", OP_MAX, "f2", "2*f2"},
    {"max", OP_MAX, "f3", "2*f3"},
    {"max", OP_MAX, "f4", "2*f4"},

    {"min", OP_MIN, "f", "2*f"},
    {"min", OP_MIN, "f2", "2*f2"},
    {"min", OP_MIN, "f3", "2*f3"},
    {"min", OP_MIN, "f4", "2*f4"},

    {"normalize", OP_NORMALIZE, "f", "f"},
    {"normalize", OP_NORMALIZE, "f2", "f2"},
    {"normalize", OP_NORMALIZE, "f3", "f3"},
    {"normalize", OP_NORMALIZE, "f4", "f4"},

    {"pow", OP_POW, "f", "2*f"},
    {"pow", OP_POW, "f2", "2*f2"},
    {"pow", OP_POW, "f3", "2*f3"},
    {"pow", OP_POW, "f4", "2*f4"},

    {"radians", OP_RADIANS, "f", "f"},
    {"radians", OP_RADIANS, "f2", "f2"},
    {"radians", OP_RADIANS, "f3", "f3"},
    {"radians", OP_RADIANS, "f4", "f4"},

    {"reflect", OP_REFLECT, "f", "2*f"},
    {"reflect", OP_REFLECT, "f2", "2*f2"},
    {"reflect", OP_REFLECT, "f3", "2*f3"},
    {"reflect", OP_REFLECT, "f4", "2*f4"},

    {"rsqrt", OP_RSQRT, "f", "f"},
    {"rsqrt", OP_RSQRT, "f2", "f2"},
    {"rsqrt", OP_RSQRT, "f3", "f3"},
    {"rsqrt", OP_RSQRT, "f4", "f4"},

    {"sampleTexture", OP_SAMPLE_TEXTURE, "f4", "t2,f2"},
    {"sampleTexture", OP_SAMPLE_TEXTURE, "f4", "t3,f3"},
    {"sampleTexture", OP_SAMPLE_TEXTURE, "f4", "tC,f3"},

    {"sampleTextureGrad", OP_SAMPLE_TEXTURE_GRAD, "f4", "t2,f2,f2,f2"},
    {"sampleTextureGrad", OP_SAMPLE_TEXTURE_GRAD, "f4", "t3,f3,f3,f3"},
    {"sampleTextureGrad", OP_SAMPLE_TEXTURE_GRAD, "f4", "tC,f3,f3,f3"},

    {"sampleTextureLod", OP_SAMPLE_TEXTURE_LOD, "f4", "t2,f2,f"},
    {"sampleTextureLod", OP_SAMPLE_TEXTURE_LOD, "f4", "t3,f3,f"},
    {"sampleTextureLod", OP_SAMPLE_TEXTURE_LOD, "f4", "tC,f3,f"},

    {"sampleTextureLodOffset", OP_SAMPLE_TEXTURE_LOD_OFFSET, "f4", "t2,f2,f,i2"},
    {"sampleTextureLodOffset", OP_SAMPLE_TEXTURE_LOD_OFFSET, "f4", "t3,f3,f,i3"},

    {"saturate", OP_SATURATE, "f", "f"},
    {"saturate", OP_SATURATE, "f2", "f2"},
    {"saturate", OP_SATURATE, "f3", "f3"},
    {"saturate", OP_SATURATE, "f4", "f4"},

    {"sign", OP_SIGN, "f", "f"},
    {"sign", OP_SIGN, "f2", "f2"},
    {"sign", OP_SIGN, "f3", "f3"},
    {"sign", OP_SIGN, "f4", "f4"},

    {"sin", OP_SIN, "f", "f"},
    {"sin", OP_SIN, "f2", "f2"},
    {"sin", OP_SIN, "f3", "f3"},
    {"sin", OP_SIN, "f4", "f4"},

    {"smoothstep", OP_SMOOTHSTEP, "f", "3*f"},
    {"smoothstep", OP_SMOOTHSTEP, "f2", "3*f2"},
    {"smoothstep", OP_SMOOTHSTEP, "f3", "3*f3"},
    {"smoothstep", OP_SMOOTHSTEP, "f4", "3*f4"},

    {"sqrt", OP_SQRT, "f", "f"},
    {"sqrt", OP_SQRT, "f2", "f2"},
    {"sqrt", OP_SQRT, "f3", "f3"},
    {"sqrt", OP_SQRT, "f4", "f4"},

    {"step", OP_STEP, "f", "2*f"},
    {"step", OP_STEP, "f2", "2*f2"},
    {"step", OP_STEP, "f3", "2*f3"},
    {"step", OP_STEP, "f4", "2*f4"},

    {"tan", OP_TAN, "f", "f"},
    {"tan", OP_TAN, "f2", "f2"},
    {"tan", OP_TAN, "f3", "f3"},
    {"tan", OP_TAN, "f4", "f4"},

    {"transpose", OP_TRANSPOSE, "f2x2", "f2x2"},
    {"transpose", OP_TRANSPOSE, "f3x3", "f3x3"},
    {"transpose", OP_TRANSPOSE, "f4x4", "f4x4"},
};

const int kBuiltInOverloadCount = sizeof(kBuiltInOverloads) / sizeof(kBuiltInOverloads[0]);

}  // namespace ShaderTool
