// Turns a translated HLSL9, HLSL11 or PSSL pair into GLSL 4.50 that a GL
// driver draws: glslangValidator's HLSL front end reads each stage into
// SPIR-V, and spirv-cross writes that out as GLSL. What the texts compute is
// therefore what an HLSL front end reads in them, with one exception that
// no drawing this way can check: glslang reads an int % as SPIR-V's OpSMod
// (the remainder takes the sign of the right operand, where HLSL's takes
// the left one's), and spirv-cross writes OpSMod as GLSL's %, which leaves
// a negative operand's remainder undefined.
//
// Five things are set right on the way, none of which changes what a text
// computes:
// - PSSL's own names become HLSL's (its constant buffer keyword, semantics
//   and two sampling methods), as the shader author's guide renames them.
// - HLSL9's vertex stage writes its position with Shader Model 3's output
//   semantic POSITION, which glslang does not take as the position (not even
//   with --hlsl-dx9-compatible); it is read as SV_Position.
// - HLSL9's pixel stage reads the face as VFACE, a float that is positive
//   on a front face, and PSSL as a float of S_FRONT_FACE; glslang takes
//   neither as the front face (VFACE becomes an input no stage writes). Both
//   are read from SV_IsFrontFace, as 1 on a front face and -1 on a back one.
// - HLSL9 declares its samplers without a type, and glslang takes each for
//   a 2D one; each is declared with the type of its texture.
// - glslang numbers a stage's inputs and outputs by their order in each
//   structure, and the pixel stage's input structure need not hold the
//   vertex stage's outputs in the same places (HLSL9's keeps the position,
//   which is no varying). The locations are set again from the names, so
//   each pixel input reads the vertex output of its name. The constant
//   blocks of the two stages, which spirv-cross names alike, get a name per
//   stage.
#pragma once

#include <string>
#include <vector>

namespace ShaderTool {
namespace draw {

// Empty when glslangValidator and spirv-cross can be run; else what is
// missing, with the package that brings it.
std::string FindHLSLConverters();

struct GLSLPair {
    std::string vertex;
    std::string pixel;
};

struct SamplerKind {
    std::string id;
    int kind = 0;  // TextureKind: 2D, 3D, cube
};

// `vertex_outputs` are the ids of the Shader XML's vertex outputs, in
// order; `samplers` its textures.
bool ConvertHLSLPair(int target, const std::string& vertex, const std::string& pixel,
                     const std::vector<std::string>& vertex_outputs, const std::vector<SamplerKind>& samplers,
                     GLSLPair* pair, std::string* error);

// The text steps on their own, for tests.
std::string RenamePSSLToHLSL(const std::string& text);
std::string ReadSM3VertexPositionAsSVPosition(const std::string& text);
std::string TypeSM3Samplers(const std::string& text, const std::vector<SamplerKind>& samplers);
// Replaces `declaration` of the face in a pixel text by SV_IsFrontFace, and
// every read of it by 1 or -1.
std::string ReadFacingAsFrontFace(const std::string& text, const std::string& declaration);
// Rewrites `layout(location = N)` of the stage's varyings (vertex outputs
// named "_entryPointOutput_<id>", pixel inputs named "input_<id>") to the
// index of <id> among `vertex_outputs`, and appends `suffix` to the name of
// every uniform block.
std::string MatchInterface(const std::string& glsl, bool vertex_stage, const std::vector<std::string>& vertex_outputs,
                           const char* suffix);

}  // namespace draw
}  // namespace ShaderTool
