// The text tables of the GLSL-family translators: how each dialect declares
// and names the values a Shader XML describes, and how it spells the
// built-in functions whose ZKSL names it does not share.
#pragma once

namespace ShaderTool {

// Declaration formats, in this order.
enum GLSLDeclaration : int {
    DECLARE_VERTEX_INPUT = 0,   // (type, id)
    DECLARE_VERTEX_OUTPUT,      // (type, id)
    DECLARE_PIXEL_INPUT,        // (type, id)
    DECLARE_PIXEL_OUTPUT,       // (index, id) with a location layout, else (id, id)
    DECLARE_CONSTANT,           // (type, id)
    DECLARE_CONSTANT_ARRAY,     // (type, id, count)
    DECLARE_TEXTURE,            // (sampler suffix, id)
    GLSL_DECLARATION_COUNT
};

// Variable formats, in this order; each takes the variable's id.
enum GLSLVariable : int {
    NAME_VERTEX_INPUT = 0,
    NAME_VERTEX_OUTPUT,
    NAME_POSITION_OUTPUT,
    NAME_PIXEL_INPUT,
    NAME_PIXEL_OUTPUT,
    NAME_CONSTANT,
    NAME_TEXTURE,
    GLSL_VARIABLE_COUNT
};

extern const char* const GLSL_DECLARATION_FORMATS[GLSL_DECLARATION_COUNT];
extern const char* const GLSL31_DECLARATION_FORMATS[GLSL_DECLARATION_COUNT];
extern const char* const ESSL30_DECLARATION_FORMATS[GLSL_DECLARATION_COUNT];

extern const char* const GLSL_VARIABLE_FORMATS[GLSL_VARIABLE_COUNT];
extern const char* const GLSL31_VARIABLE_FORMATS[GLSL_VARIABLE_COUNT];

// A ZKSL built-in that the GLSL dialects spell differently.
struct GLSLFunctionRename {
    const char* zksl;
    const char* glsl21;  // GLSL21 and ESSL20; the sampling names get the texture suffix appended
    const char* glsl31;  // GLSL31 and ESSL30
};

extern const GLSLFunctionRename GLSL_FUNCTION_RENAMES[];
extern const int GLSL_FUNCTION_RENAME_COUNT;

// The built-in functions of ES 1.00 and of ES 3.00, which a shader may not
// redefine; ES 3.00 does not let it overload them either. A user function
// of such a name is refused for those dialects.
extern const char* const ESSL20_BUILT_IN_FUNCTIONS[];
extern const int ESSL20_BUILT_IN_FUNCTION_COUNT;
extern const char* const ESSL30_BUILT_IN_FUNCTIONS[];
extern const int ESSL30_BUILT_IN_FUNCTION_COUNT;

// The built-in functions that GLSL21 and GLSL31 texts call in place of a
// ZKSL operator, or of a ZKSL built-in of another name or other argument
// types ("%" is mod() in GLSL 1.20, lerp is mix, saturate is a clamp
// between two floats). GLSL 1.20 and 1.40 let a user function of the same
// signature take such calls over, so a user function of these names is
// refused for that dialect.
extern const char* const GLSL21_SUBSTITUTED_FUNCTIONS[];
extern const int GLSL21_SUBSTITUTED_FUNCTION_COUNT;
extern const char* const GLSL31_SUBSTITUTED_FUNCTIONS[];
extern const int GLSL31_SUBSTITUTED_FUNCTION_COUNT;

}  // namespace ShaderTool
