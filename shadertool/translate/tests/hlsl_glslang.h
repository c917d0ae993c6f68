// Runs glslangValidator's HLSL front end over a translated HLSL9, HLSL11 or
// PSSL text: "-D -V -e main -S vert|frag", with "--hlsl-dx9-compatible" for
// HLSL9, and for PSSL with macros in front that map its names to HLSL's.
// That front end is lenient, so passing it shows the text is well-formed
// HLSL, not that every shader compiler takes it.
#pragma once

#include <string>

#include "shadertool/frontend/shader_info.h"

namespace ShaderTool {
namespace testing {

// PSSL's names in the translated texts with HLSL's for them: its constant
// buffer keyword, its semantics and two sampling methods. Where these texts
// are concerned, PSSL differs from HLSL 11 in nothing else.
struct PSSLName {
    const char* pssl;
    const char* hlsl;
};
extern const PSSLName kPSSLNames[];
extern const int kPSSLNameCount;

// True when the text compiles; `messages` receives the validator's output,
// with the compiled syntax tree when `with_tree` is set ("-i"), in which a
// call of a function of the text reads "Function Call: name(".
bool CompilesAsHLSL(int target, ShaderType stage, const char* text, std::string* messages, bool with_tree = false);

}  // namespace testing
}  // namespace ShaderTool
