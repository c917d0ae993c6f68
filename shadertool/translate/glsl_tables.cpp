#include "shadertool/translate/glsl_tables.h"

namespace ShaderTool {

// Attribute/varying style; GLSL 1.20 and ESSL 1.00 write the one pixel
// output to gl_FragColor, so it is not declared.
const char* const GLSL_DECLARATION_FORMATS[GLSL_DECLARATION_COUNT] = {
    "attribute %s _in_%s;\n",
    "varying %s _vary_%s;\n",
    "varying %s _vary_%s;\n",
    "",
    "uniform %s _const_%s;\n",
    "uniform %s _const_%s[%i];\n",
    "uniform sampler%s _tex_%s;\n",
};

const char* const GLSL31_DECLARATION_FORMATS[GLSL_DECLARATION_COUNT] = {
    "in %s _in_%s;\n",
    "out %s _vary_%s;\n",
    "in %s _vary_%s;\n",
    "out vec4 _out_%s;\n",
    "uniform %s _const_%s;\n",
    "uniform %s _const_%s[%i];\n",
    "uniform sampler%s _tex_%s;\n",
};

const char* const ESSL30_DECLARATION_FORMATS[GLSL_DECLARATION_COUNT] = {
    "in %s _in_%s;\n",
    "out %s _vary_%s;\n",
    "in %s _vary_%s;\n",
    "layout(location = %i) out vec4 _out_%s;\n",
    "uniform %s _const_%s;\n",
    "uniform %s _const_%s[%i];\n",
    "uniform sampler%s _tex_%s;\n",
};

const char* const GLSL_VARIABLE_FORMATS[GLSL_VARIABLE_COUNT] = {
    "_in_%s", "_vary_%s", "gl_Position", "_vary_%s", "gl_FragColor", "_const_%s", "_tex_%s",
};

const char* const GLSL31_VARIABLE_FORMATS[GLSL_VARIABLE_COUNT] = {
    "_in_%s", "_vary_%s", "gl_Position", "_vary_%s", "_out_%s", "_const_%s", "_tex_%s",
};

const GLSLFunctionRename GLSL_FUNCTION_RENAMES[] = {
    {"atan2", "atan", "atan"},
    {"frac", "fract", "fract"},
    {"lerp", "mix", "mix"},
    {"rsqrt", "inversesqrt", "inversesqrt"},
    {"sampleTexture", "texture", "texture"},
    {"sampleTextureGrad", "texture", "textureGrad"},
    {"sampleTextureLod", "texture", "textureLod"},
    {"sampleTextureLodOffset", "texture", "textureLodOffset"},
};

const int GLSL_FUNCTION_RENAME_COUNT = sizeof(GLSL_FUNCTION_RENAMES) / sizeof(GLSL_FUNCTION_RENAMES[0]);

const char* const ESSL20_BUILT_IN_FUNCTIONS[] = {
    // Angles and trigonometry, exponentials.
    "radians", "degrees", "sin", "cos", "tan", "asin", "acos", "atan", "pow", "exp", "log", "exp2", "log2", "sqrt",
    "inversesqrt",
    // Common functions.
    "abs", "sign", "floor", "ceil", "fract", "mod", "min", "max", "clamp", "mix", "step", "smoothstep",
    // Geometry, matrices and vector relations.
    "length", "distance", "dot", "cross", "normalize", "faceforward", "reflect", "refract", "matrixCompMult",
    "lessThan", "lessThanEqual", "greaterThan", "greaterThanEqual", "equal", "notEqual", "any", "all", "not",
    // Textures.
    "texture2D", "texture2DProj", "texture2DLod", "texture2DProjLod", "textureCube", "textureCubeLod",
};

const int ESSL20_BUILT_IN_FUNCTION_COUNT = sizeof(ESSL20_BUILT_IN_FUNCTIONS) / sizeof(ESSL20_BUILT_IN_FUNCTIONS[0]);

const char* const ESSL30_BUILT_IN_FUNCTIONS[] = {
    // Angles and trigonometry, exponentials.
    "radians", "degrees", "sin", "cos", "tan", "asin", "acos", "atan", "sinh", "cosh", "tanh", "asinh", "acosh",
    "atanh", "pow", "exp", "log", "exp2", "log2", "sqrt", "inversesqrt",
    // Common functions and packing.
    "abs", "sign", "floor", "trunc", "round", "roundEven", "ceil", "fract", "mod", "modf", "min", "max", "clamp",
    "mix", "step", "smoothstep", "isnan", "isinf", "floatBitsToInt", "floatBitsToUint", "intBitsToFloat",
    "uintBitsToFloat", "packSnorm2x16", "unpackSnorm2x16", "packUnorm2x16", "unpackUnorm2x16", "packHalf2x16",
    "unpackHalf2x16",
    // Geometry, matrices and vector relations.
    "length", "distance", "dot", "cross", "normalize", "faceforward", "reflect", "refract", "matrixCompMult",
    "outerProduct", "transpose", "determinant", "inverse", "lessThan", "lessThanEqual", "greaterThan",
    "greaterThanEqual", "equal", "notEqual", "any", "all", "not",
    // Textures and derivatives.
    "textureSize", "texture", "textureProj", "textureLod", "textureOffset", "texelFetch", "texelFetchOffset",
    "textureProjOffset", "textureLodOffset", "textureProjLod", "textureProjLodOffset", "textureGrad",
    "textureGradOffset", "textureProjGrad", "textureProjGradOffset", "dFdx", "dFdy", "fwidth",
};

const int ESSL30_BUILT_IN_FUNCTION_COUNT = sizeof(ESSL30_BUILT_IN_FUNCTIONS) / sizeof(ESSL30_BUILT_IN_FUNCTIONS[0]);

// For "%" (GLSL 1.20 only), atan2, frac, lerp, rsqrt and saturate. The
// sampling functions are left out: their calls take a sampler, which no
// user function can.
const char* const GLSL21_SUBSTITUTED_FUNCTIONS[] = {"mod", "atan", "fract", "mix", "inversesqrt", "clamp"};
const int GLSL21_SUBSTITUTED_FUNCTION_COUNT =
    sizeof(GLSL21_SUBSTITUTED_FUNCTIONS) / sizeof(GLSL21_SUBSTITUTED_FUNCTIONS[0]);
const char* const GLSL31_SUBSTITUTED_FUNCTIONS[] = {"atan", "fract", "mix", "inversesqrt", "clamp"};
const int GLSL31_SUBSTITUTED_FUNCTION_COUNT =
    sizeof(GLSL31_SUBSTITUTED_FUNCTIONS) / sizeof(GLSL31_SUBSTITUTED_FUNCTIONS[0]);

}  // namespace ShaderTool
