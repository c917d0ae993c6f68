#include "shadertool/translate/hlsl_tables.h"

#include "shadertool/frontend/shader_info.h"

namespace ShaderTool {

namespace {

const char* const HLSL11_SAMPLER_METHODS[] = {"Sample", "SampleGrad", "SampleLevel", "SampleLevel"};
const char* const PSSL_SAMPLER_METHODS[] = {"Sample", "SampleGradient", "SampleLOD", "SampleLOD"};

struct VertexInputSemantic {
    int semantic;
    const char* name;
};

const VertexInputSemantic VERTEX_INPUT_SEMANTICS[] = {
    {INPUT_POSITION, "POSITION"},
    {INPUT_COLOR, "COLOR"},
    {INPUT_TEXTURE_COORDINATE_0, "TEXCOORD0"},
    {INPUT_NORMAL, "NORMAL"},
    {INPUT_TEXTURE_COORDINATE_1, "TEXCOORD1"},
    {INPUT_TANGENT, "TANGENT"},
    {INPUT_BITANGENT, "BINORMAL"},
    {INPUT_4_BONE_INDICES, "BLENDINDICES"},
    {INPUT_4_BONE_WEIGHTS, "BLENDWEIGHT"},
};

}  // namespace

const HLSLDialect HLSL9_DIALECT = {
    "COLOR",
    "POSITION",
    false,
    nullptr,
    "float _facing : VFACE",
    nullptr,
    nullptr,
    "input._facing",
    "(input._facing > 0.0f)",
    nullptr,
    nullptr,
    nullptr,
};

const HLSLDialect HLSL11_DIALECT = {
    "SV_TARGET",
    "SV_POSITION",
    true,
    "cbuffer",
    "bool _facing : SV_IsFrontFace",
    "uint _instance_id : SV_InstanceID",
    "uint _vertex_id : SV_VertexID",
    "(input._facing ? 1.0f : -1.0f)",
    "input._facing",
    "int(input._instance_id)",
    "int(input._vertex_id)",
    HLSL11_SAMPLER_METHODS,
};

const HLSLDialect PSSL_DIALECT = {
    "S_TARGET_OUTPUT",
    "S_POSITION",
    true,
    "ConstantBuffer",
    "float _facing : S_FRONT_FACE",
    "uint _instance_id : S_INSTANCE_ID",
    "uint _vertex_id : S_VERTEX_ID",
    "input._facing",
    "(input._facing > 0.0f)",
    "int(input._instance_id)",
    "int(input._vertex_id)",
    PSSL_SAMPLER_METHODS,
};

const char* GetHLSLVertexInputSemanticName(int semantic) {
    for (const VertexInputSemantic& entry : VERTEX_INPUT_SEMANTICS)
        if (entry.semantic == semantic) return entry.name;
    return "";
}

const char* GetHLSLVertexOutputSemanticName(int semantic) {
    switch (semantic) {
    case OUTPUT_COLOR: return "COLOR";
    case OUTPUT_POSITION: return nullptr;
    case OUTPUT_TEXTURE_COORDINATE: return "TEXCOORD";
    default: return "";
    }
}

const char* GetHLSL9TextureKindName(TextureKind kind) {
    switch (kind) {
    case TEXTURE_2D: return "2D";
    case TEXTURE_3D: return "3D";
    case TEXTURE_CUBE: return "CUBE";
    default: return "";
    }
}

const char* GetHLSL9SamplingEnding(Operator op) {
    switch (op) {
    case OP_SAMPLE_TEXTURE_GRAD: return "grad";
    case OP_SAMPLE_TEXTURE_LOD:
    case OP_SAMPLE_TEXTURE_LOD_OFFSET: return "lod";
    default: return "";
    }
}

const char* const HLSL_SUBSTITUTED_FUNCTIONS[] = {"mul", "all", "any"};
const int HLSL_SUBSTITUTED_FUNCTION_COUNT = sizeof(HLSL_SUBSTITUTED_FUNCTIONS) / sizeof(HLSL_SUBSTITUTED_FUNCTIONS[0]);
const char* const HLSL9_SUBSTITUTED_FUNCTIONS[] = {
    "mul", "all", "any", "tex2D", "tex3D", "texCUBE", "tex2Dgrad", "tex3Dgrad", "texCUBEgrad", "tex2Dlod", "tex3Dlod",
    "texCUBElod",
};
const int HLSL9_SUBSTITUTED_FUNCTION_COUNT = sizeof(HLSL9_SUBSTITUTED_FUNCTIONS) / sizeof(HLSL9_SUBSTITUTED_FUNCTIONS[0]);

const char* GetHLSLSamplerMethodName(const HLSLDialect& dialect, Operator op) {
    if (!dialect.sampler_methods || op < OP_SAMPLE_TEXTURE || op > OP_SAMPLE_TEXTURE_LOD_OFFSET) return "";
    return dialect.sampler_methods[op - OP_SAMPLE_TEXTURE];
}

}  // namespace ShaderTool
