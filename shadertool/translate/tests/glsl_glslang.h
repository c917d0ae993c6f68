// Compiles GL-family text with glslangValidator, the reference front end of
// the GLSL and ESSL languages, after putting the dialect's #version line in
// front of it (the translators write none).
#pragma once

#include <string>

#include "shadertool/frontend/shader_info.h"

namespace ShaderTool {
namespace testing {

// "#version 120" and so on, with its line break.
const char* GLSLVersionLine(int target);

// True when the compiler accepts the text; `messages` gets its output. Fails
// with a message when the compiler cannot be run.
bool CompilesWithGlslang(int target, ShaderType stage, const char* text, std::string* messages);

// True when the two stages also link ("-l"): what the vertex stage passes on
// matches what the pixel stage reads, name by name and type by type.
bool LinksWithGlslang(int target, const char* vertexText, const char* pixelText, std::string* messages);

}  // namespace testing
}  // namespace ShaderTool
