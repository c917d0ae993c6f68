#include "shadertool/translate/hlsl_tables.h"

#include <cstring>

#include "shadertool/frontend/name_index.h"
#include "shadertool/frontend/shader_info.h"

namespace ShaderTool {

namespace {

const char* const HLSL11_SAMPLER_METHODS[] = {"Sample", "SampleGrad", "SampleLevel", "SampleLevel"};
const char* const PSSL_SAMPLER_METHODS[] = {"Sample", "SampleGradient", "SampleLOD", "SampleLOD"};

// Keywords and reserved words of every HLSL dialect that ZKSL takes as
// ordinary names, and the structures the translation declares.
const char* const HLSL_RESERVED_WORDS[] = {
    "AppendStructuredBuffer", "asm", "asm_fragment", "BlendState", "bool", "break", "Buffer", "ByteAddressBuffer",
    "case", "cbuffer", "centroid", "class", "column_major", "compile", "compile_fragment", "CompileShader", "const",
    "continue", "ComputeShader", "ConsumeStructuredBuffer", "default", "DepthStencilState", "DepthStencilView",
    "discard", "do", "double", "DomainShader", "dword", "else", "export", "extern", "false", "float", "for",
    "fxgroup", "GeometryShader", "groupshared", "half", "Hullshader", "HullShader", "if", "in", "inline", "inout",
    "InputPatch", "int", "interface", "line", "lineadj", "linear", "LineStream", "matrix", "namespace",
    "nointerpolation", "noperspective", "NULL", "out", "OutputPatch", "packoffset", "pass", "pixelfragment",
    "PixelShader", "point", "PointStream", "precise", "RasterizerState", "RenderTargetView", "return", "register",
    "row_major", "RWBuffer", "RWByteAddressBuffer", "RWStructuredBuffer", "RWTexture1D", "RWTexture1DArray",
    "RWTexture2D", "RWTexture2DArray", "RWTexture3D", "sample", "sampler", "SamplerState", "SamplerComparisonState",
    "shared", "snorm", "stateblock", "stateblock_state", "static", "string", "struct", "switch", "StructuredBuffer",
    "tbuffer", "technique", "technique10", "technique11", "texture", "Texture1D", "Texture1DArray", "Texture2D",
    "Texture2DArray", "Texture2DMS", "Texture2DMSArray", "Texture3D", "TextureCube", "TextureCubeArray", "true",
    "typedef", "triangle", "triangleadj", "TriangleStream", "uint", "uniform", "unorm", "unsigned", "vector",
    "vertexfragment", "VertexShader", "void", "volatile", "while", "min16float", "min10float", "min16int",
    "min12int", "min16uint", "sampler1D", "sampler2D", "sampler3D", "samplerCUBE", "sampler_state",
    // Reserved for the language's future.
    "auto", "catch", "char", "const_cast", "delete", "dynamic_cast", "enum", "explicit", "friend", "goto", "long",
    "mutable", "new", "operator", "private", "protected", "public", "reinterpret_cast", "short", "signed", "sizeof",
    "static_cast", "template", "this", "throw", "try", "typename", "union", "using", "virtual",
    // The entry point's structures.
    "VertexInput", "VertexOutput", "PixelInput", "PixelOutput",
    nullptr,
};

// The texture types and shader objects of the effect syntax that shader
// model 3 compilers read.
const char* const HLSL9_RESERVED_WORDS[] = {
    "texture1D", "texture2D", "texture3D", "textureCUBE", "pixelshader", "vertexshader", "PIXELSHADER",
    "VERTEXSHADER", nullptr,
};

// The types of later shader models, and the constant buffer's name.
const char* const HLSL11_RESERVED_WORDS[] = {
    "ConstantBuffer", "globallycoherent", "RasterizerOrderedBuffer", "RasterizerOrderedByteAddressBuffer", "RasterizerOrderedStructuredBuffer",
    "RasterizerOrderedTexture1D", "RasterizerOrderedTexture2D", "RasterizerOrderedTexture3D", "Constants", nullptr,
};

// PSSL's own buffer, texture and qualifier words and types, and the
// constant buffer's name.
const char* const PSSL_RESERVED_WORDS[] = {
    "ConstantBuffer", "DataBuffer", "RW_DataBuffer", "RegularBuffer", "RW_RegularBuffer", "ByteBuffer",
    "RW_ByteBuffer", "AppendRegularBuffer", "ConsumeRegularBuffer", "RW_Texture1D", "RW_Texture1D_Array",
    "RW_Texture2D", "RW_Texture2D_Array", "RW_Texture3D", "MS_Texture2D", "MS_Texture2D_Array", "Texture1D_Array",
    "Texture2D_Array", "TextureCube_Array", "PointBuffer", "LineBuffer", "TriangleBuffer", "thread_group_memory",
    "nointerp", "nopersp", "ushort", "ulong", "Constants", nullptr,
};

const char* const HLSL_SCALAR_TYPES[] = {"bool",       "int",        "uint",     "dword",    "half",
                                         "float",      "double",     "min16float", "min10float", "min16int",
                                         "min12int",   "min16uint",  nullptr};
const char* const PSSL_SCALAR_TYPES[] = {"bool", "int", "uint", "half", "float", "double",
                                         "short", "ushort", "long", "ulong", nullptr};

// The word lists as hashed sets, built once per process; null for a list
// that is not one of them.
const NameSet* WordSetOf(const char* const* words) {
    static const NameSet hlsl(HLSL_RESERVED_WORDS), hlsl9(HLSL9_RESERVED_WORDS), hlsl11(HLSL11_RESERVED_WORDS),
        pssl(PSSL_RESERVED_WORDS), hlsl_scalars(HLSL_SCALAR_TYPES), pssl_scalars(PSSL_SCALAR_TYPES);
    if (words == HLSL_RESERVED_WORDS) return &hlsl;
    if (words == HLSL9_RESERVED_WORDS) return &hlsl9;
    if (words == HLSL11_RESERVED_WORDS) return &hlsl11;
    if (words == PSSL_RESERVED_WORDS) return &pssl;
    if (words == HLSL_SCALAR_TYPES) return &hlsl_scalars;
    if (words == PSSL_SCALAR_TYPES) return &pssl_scalars;
    return nullptr;
}

// Whether the first length characters of name are a word of the list.
bool IsListed(const char* const* words, const char* name, size_t length) {
    if (const NameSet* set = WordSetOf(words)) return set->Contains(name, length);
    for (; words && *words; ++words)
        if (strncmp(*words, name, length) == 0 && (*words)[length] == '\0') return true;
    return false;
}

bool IsSize(char c) { return c >= '1' && c <= '4'; }

// "half4" or "float2x3": a scalar type, a size from 1 to 4, and for a
// matrix "x" and another.
bool IsSizedTypeName(const char* const* scalars, const char* name) {
    size_t length = strlen(name);
    if (length >= 2 && IsSize(name[length - 1]) && IsListed(scalars, name, length - 1)) return true;
    return length >= 4 && IsSize(name[length - 3]) && name[length - 2] == 'x' && IsSize(name[length - 1]) &&
           IsListed(scalars, name, length - 3);
}

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
    HLSL9_RESERVED_WORDS,
    HLSL_SCALAR_TYPES,
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
    HLSL11_RESERVED_WORDS,
    HLSL_SCALAR_TYPES,
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
    PSSL_RESERVED_WORDS,
    PSSL_SCALAR_TYPES,
};

bool IsHLSLReservedName(const HLSLDialect& dialect, const char* name) {
    size_t length = strlen(name);
    return IsListed(HLSL_RESERVED_WORDS, name, length) || IsListed(dialect.reserved_words, name, length) ||
           IsSizedTypeName(dialect.scalar_types, name);
}

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

const char* GetHLSLSamplerMethodName(const HLSLDialect& dialect, Operator op) {
    if (!dialect.sampler_methods || op < OP_SAMPLE_TEXTURE || op > OP_SAMPLE_TEXTURE_LOD_OFFSET) return "";
    return dialect.sampler_methods[op - OP_SAMPLE_TEXTURE];
}

}  // namespace ShaderTool
