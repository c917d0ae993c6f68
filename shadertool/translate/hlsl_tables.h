// The text tables of the HLSL-family translators: the semantics of the
// stage structures, the spelling of the special inputs per dialect, and the
// names of the texture sampling functions and methods.
#pragma once

#include "shadertool/frontend/types.h"

namespace ShaderTool {

// What one HLSL dialect writes where the dialects differ.
struct HLSLDialect {
    const char* target_semantic;          // pixel outputs, followed by the index
    const char* position_semantic;        // the POSITION vertex output
    // Whether the pixel stage's input of that semantic holds anything: the
    // pixel's window position. Shader model 3 gives that as VPOS; its
    // POSITION is no pixel input.
    bool pixel_position_passed;
    const char* constant_buffer_keyword;  // null: constants are plain globals
    // Members of the input structure, added when the body reads the input.
    const char* facing_declaration;
    const char* instance_id_declaration;  // null: the dialect has no instance id
    const char* vertex_id_declaration;    // null: the dialect has no vertex id
    // How the special inputs read in an expression. The ids are declared
    // uint, as the system values are, and read as the int that ZKSL has.
    const char* face_direction;
    const char* is_front_facing;
    const char* instance_id;
    const char* vertex_id;
    // Texture object methods in sampling order (sampleTexture, ...Grad,
    // ...Lod, ...LodOffset); null where sampling goes through functions.
    const char* const* sampler_methods;
};

extern const HLSLDialect HLSL9_DIALECT;
extern const HLSLDialect HLSL11_DIALECT;
extern const HLSLDialect PSSL_DIALECT;

// Vertex input semantic of one ShaderVertexInputSemantic bit; "" for
// anything else.
const char* GetHLSLVertexInputSemanticName(int semantic);

// Vertex output semantic of a COLOR or TEXTURE_COORDINATE output, which
// is followed by the output's semantic index; null for the POSITION
// output, which takes the dialect's position semantic, and "" for anything
// else.
const char* GetHLSLVertexOutputSemanticName(int semantic);

// The sampling function of the dialect without texture objects: "tex",
// the texture kind ("2D", "3D", "CUBE") and the way the level is chosen
// ("", "grad", "lod"). Empty parts for anything that is not sampling.
const char* GetHLSL9TextureKindName(TextureKind kind);
const char* GetHLSL9SamplingEnding(Operator op);

// The method of a texture object for a sampling operator; "" for any other
// operator or a dialect without texture objects.
const char* GetHLSLSamplerMethodName(const HLSLDialect& dialect, Operator op);

// The intrinsic functions that HLSL-family texts call where the ZKSL source
// called none of that name: mul() for a product with a matrix, all() and
// any() around a comparison of vectors or matrices, and in HLSL9 the
// sampling functions (tex2D, texCUBElod, ...). HLSL lets a shader define a
// function of an intrinsic's name, and such a call then goes to it: mul()
// of a float4 and a float4x4 to a user mul of that signature, all() of a
// comparison of matrices to a user all of a matrix, int or bool, tex2D()
// to a user tex2D, which then fails on its sampler. So a user function of
// these names is refused for those dialects. HLSL11 and PSSL sample
// through methods, which no function takes over.
extern const char* const HLSL_SUBSTITUTED_FUNCTIONS[];
extern const int HLSL_SUBSTITUTED_FUNCTION_COUNT;
extern const char* const HLSL9_SUBSTITUTED_FUNCTIONS[];
extern const int HLSL9_SUBSTITUTED_FUNCTION_COUNT;

}  // namespace ShaderTool
