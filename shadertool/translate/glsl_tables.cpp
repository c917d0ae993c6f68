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

}  // namespace ShaderTool
