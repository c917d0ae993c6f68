// Every overload of the ZKSL built-in functions and type constructors, in
// registration order: the twelve constructors by ascending id, then the
// functions by ascending id (alphabetical). A call resolves to the first
// overload that accepts its arguments, so the order below decides, e.g.
// float(int) is taken before float(float) and lerp(float2, float2, float)
// before lerp(float2, float2, float2).
#include "shadertool/builtins/builtin_tables.h"

namespace ShaderTool {

const BuiltInOverloadRow kBuiltInOverloads[] = {
    {"bool", 91, "b", "b"},
    {"bool", 91, "b", "i"},
    {"bool", 91, "b", "f"},

    {"float", 92, "f", "b"},
    {"float", 92, "f", "i"},
    {"float", 92, "f", "f"},

    {"float2", 93, "f2", "f"},
    {"float2", 93, "f2", "2*f"},
    {"float2", 93, "f2", "f2"},
    {"float2", 93, "f2", "f3"},
    {"float2", 93, "f2", "f4"},

    {"float3", 94, "f3", "f"},
    {"float3", 94, "f3", "3*f"},
    {"float3", 94, "f3", "f,f2"},
    {"float3", 94, "f3", "f2,f"},
    {"float3", 94, "f3", "f3"},
    {"float3", 94, "f3", "f4"},

    {"float4", 95, "f4", "f"},
    {"float4", 95, "f4", "4*f"},
    {"float4", 95, "f4", "f,f,f2"},
    {"float4", 95, "f4", "f,f2,f"},
    {"float4", 95, "f4", "f,f3"},
    {"float4", 95, "f4", "f2,f,f"},
    {"float4", 95, "f4", "2*f2"},
    {"float4", 95, "f4", "f3,f"},
    {"float4", 95, "f4", "f4"},

    {"float2x2", 96, "f2x2", "4*f"},
    {"float2x2", 96, "f2x2", "2*f2"},
    {"float2x2", 96, "f2x2", "f2x2"},
    {"float2x2", 96, "f2x2", "f3x3"},
    {"float2x2", 96, "f2x2", "f4x4"},

    {"float3x3", 97, "f3x3", "9*f"},
    {"float3x3", 97, "f3x3", "3*f3"},
    {"float3x3", 97, "f3x3", "f3x3"},
    {"float3x3", 97, "f3x3", "f4x4"},

    {"float4x4", 98, "f4x4", "16*f"},
    {"float4x4", 98, "f4x4", "4*f4"},
    {"float4x4", 98, "f4x4", "f4x4"},

    {"int", 99, "i", "b"},
    {"int", 99, "i", "i"},
    {"int", 99, "i", "f"},

    {"int2", 100, "i2", "i"},
    {"int2", 100, "i2", "2*i"},
    {"int2", 100, "i2", "i2"},
    {"int2", 100, "i2", "i3"},
    {"int2", 100, "i2", "i4"},

    {"int3", 101, "i3", "i"},
    {"int3", 101, "i3", "3*i"},
    {"int3", 101, "i3", "i,i2"},
    {"int3", 101, "i3", "i2,i"},
    {"int3", 101, "i3", "i3"},
    {"int3", 101, "i3", "i4"},

    {"int4", 102, "i4", "i"},
    {"int4", 102, "i4", "4*i"},
    {"int4", 102, "i4", "i,i,i2"},
    {"int4", 102, "i4", "i,i2,i"},
    {"int4", 102, "i4", "i,i3"},
    {"int4", 102, "i4", "i2,i,i"},
    {"int4", 102, "i4", "2*i2"},
    {"int4", 102, "i4", "i3,i"},
    {"int4", 102, "i4", "i4"},

    {"abs", 50, "f", "f"},
    {"abs", 50, "f2", "f2"},
    {"abs", 50, "f3", "f3"},
    {"abs", 50, "f4", "f4"},

    {"acos", 51, "f", "f"},
    {"acos", 51, "f2", "f2"},
    {"acos", 51, "f3", "f3"},
    {"acos", 51, "f4", "f4"},

    {"all", 52, "b", "i2"},
    {"all", 52, "b", "i3"},
    {"all", 52, "b", "i4"},
    {"all", 52, "b", "f2"},
    {"all", 52, "b", "f3"},
    {"all", 52, "b", "f4"},

    {"any", 53, "b", "i2"},
    {"any", 53, "b", "i3"},
    {"any", 53, "b", "i4"},
    {"any", 53, "b", "f2"},
    {"any", 53, "b", "f3"},
    {"any", 53, "b", "f4"},

    {"asin", 54, "f", "f"},
    {"asin", 54, "f2", "f2"},
    {"asin", 54, "f3", "f3"},
    {"asin", 54, "f4", "f4"},

    {"atan", 55, "f", "f"},
    {"atan", 55, "f2", "f2"},
    {"atan", 55, "f3", "f3"},
    {"atan", 55, "f4", "f4"},

    {"atan2", 56, "f", "2*f"},
    {"atan2", 56, "f2", "2*f2"},
    {"atan2", 56, "f3", "2*f3"},
    {"atan2", 56, "f4", "2*f4"},

    {"ceil", 57, "f", "f"},
    {"ceil", 57, "f2", "f2"},
    {"ceil", 57, "f3", "f3"},
    {"ceil", 57, "f4", "f4"},

    {"clamp", 58, "f", "3*f"},
    {"clamp", 58, "f2", "3*f2"},
    {"clamp", 58, "f3", "3*f3"},
    {"clamp", 58, "f4", "3*f4"},

    {"cos", 59, "f", "f"},
    {"cos", 59, "f2", "f2"},
    {"cos", 59, "f3", "f3"},
    {"cos", 59, "f4", "f4"},

    {"cross", 60, "f3", "2*f3"},

    {"degrees", 61, "f", "f"},
    {"degrees", 61, "f2", "f2"},
    {"degrees", 61, "f3", "f3"},
    {"degrees", 61, "f4", "f4"},

    {"distance", 62, "f", "2*f"},
    {"distance", 62, "f", "2*f2"},
    {"distance", 62, "f", "2*f3"},
    {"distance", 62, "f", "2*f4"},

    {"dot", 63, "f", "2*f"},
    {"dot", 63, "f", "2*f2"},
    {"dot", 63, "f", "2*f3"},
    {"dot", 63, "f", "2*f4"},

    {"exp", 64, "f", "f"},
    {"exp", 64, "f2", "f2"},
    {"exp", 64, "f3", "f3"},
    {"exp", 64, "f4", "f4"},

    {"exp2", 65, "f", "f"},
    {"exp2", 65, "f2", "f2"},
    {"exp2", 65, "f3", "f3"},
    {"exp2", 65, "f4", "f4"},

    {"floor", 66, "f", "f"},
    {"floor", 66, "f2", "f2"},
    {"floor", 66, "f3", "f3"},
    {"floor", 66, "f4", "f4"},

    {"frac", 67, "f", "f"},
    {"frac", 67, "f2", "f2"},
    {"frac", 67, "f3", "f3"},
    {"frac", 67, "f4", "f4"},

    {"length", 68, "f", "f"},
    {"length", 68, "f", "f2"},
    {"length", 68, "f", "f3"},
    {"length", 68, "f", "f4"},

    {"lerp", 69, "f", "3*f"},
    {"lerp", 69, "f2", "f2,f2,f"},
    {"lerp", 69, "f2", "3*f2"},
    {"lerp", 69, "f3", "f3,f3,f"},
    {"lerp", 69, "f3", "3*f3"},
    {"lerp", 69, "f4", "f4,f4,f"},
    {"lerp", 69, "f4", "3*f4"},

    {"log", 70, "f", "f"},
    {"log", 70, "f2", "f2"},
    {"log", 70, "f3", "f3"},
    {"log", 70, "f4", "f4"},

    {"log2", 71, "f", "f"},
    {"log2", 71, "f2", "f2"},
    {"log2", 71, "f3", "f3"},
    {"log2", 71, "f4", "f4"},

    {"max", 72, "f", "2*f"},
    {"max", 72, "f2", "2*f2"},
    {"max", 72, "f3", "2*f3"},
    {"max", 72, "f4", "2*f4"},

    {"min", 73, "f", "2*f"},
    {"min", 73, "f2", "2*f2"},
    {"min", 73, "f3", "2*f3"},
    {"min", 73, "f4", "2*f4"},

    {"normalize", 74, "f", "f"},
    {"normalize", 74, "f2", "f2"},
    {"normalize", 74, "f3", "f3"},
    {"normalize", 74, "f4", "f4"},

    {"pow", 75, "f", "2*f"},
    {"pow", 75, "f2", "2*f2"},
    {"pow", 75, "f3", "2*f3"},
    {"pow", 75, "f4", "2*f4"},

    {"radians", 76, "f", "f"},
    {"radians", 76, "f2", "f2"},
    {"radians", 76, "f3", "f3"},
    {"radians", 76, "f4", "f4"},

    {"reflect", 77, "f", "2*f"},
    {"reflect", 77, "f2", "2*f2"},
    {"reflect", 77, "f3", "2*f3"},
    {"reflect", 77, "f4", "2*f4"},

    {"rsqrt", 78, "f", "f"},
    {"rsqrt", 78, "f2", "f2"},
    {"rsqrt", 78, "f3", "f3"},
    {"rsqrt", 78, "f4", "f4"},

    {"sampleTexture", 79, "f4", "t2,f2"},
    {"sampleTexture", 79, "f4", "t3,f3"},
    {"sampleTexture", 79, "f4", "tC,f3"},

    {"sampleTextureGrad", 80, "f4", "t2,f2,f2,f2"},
    {"sampleTextureGrad", 80, "f4", "t3,f3,f3,f3"},
    {"sampleTextureGrad", 80, "f4", "tC,f3,f3,f3"},

    {"sampleTextureLod", 81, "f4", "t2,f2,f"},
    {"sampleTextureLod", 81, "f4", "t3,f3,f"},
    {"sampleTextureLod", 81, "f4", "tC,f3,f"},

    {"sampleTextureLodOffset", 82, "f4", "t2,f2,f,i2"},
    {"sampleTextureLodOffset", 82, "f4", "t3,f3,f,i3"},

    {"saturate", 83, "f", "f"},
    {"saturate", 83, "f2", "f2"},
    {"saturate", 83, "f3", "f3"},
    {"saturate", 83, "f4", "f4"},

    {"sign", 84, "f", "f"},
    {"sign", 84, "f2", "f2"},
    {"sign", 84, "f3", "f3"},
    {"sign", 84, "f4", "f4"},

    {"sin", 85, "f", "f"},
    {"sin", 85, "f2", "f2"},
    {"sin", 85, "f3", "f3"},
    {"sin", 85, "f4", "f4"},

    {"smoothstep", 86, "f", "3*f"},
    {"smoothstep", 86, "f2", "3*f2"},
    {"smoothstep", 86, "f3", "3*f3"},
    {"smoothstep", 86, "f4", "3*f4"},

    {"sqrt", 87, "f", "f"},
    {"sqrt", 87, "f2", "f2"},
    {"sqrt", 87, "f3", "f3"},
    {"sqrt", 87, "f4", "f4"},

    {"step", 88, "f", "2*f"},
    {"step", 88, "f2", "2*f2"},
    {"step", 88, "f3", "2*f3"},
    {"step", 88, "f4", "2*f4"},

    {"tan", 89, "f", "f"},
    {"tan", 89, "f2", "f2"},
    {"tan", 89, "f3", "f3"},
    {"tan", 89, "f4", "f4"},

    {"transpose", 90, "f2x2", "f2x2"},
    {"transpose", 90, "f3x3", "f3x3"},
    {"transpose", 90, "f4x4", "f4x4"},
};

const int kBuiltInOverloadCount = sizeof(kBuiltInOverloads) / sizeof(kBuiltInOverloads[0]);

}  // namespace ShaderTool
