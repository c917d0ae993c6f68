#include "shadertool/translate/reserved_names.h"

#include <cstring>

#include "shadertool/frontend/name_index.h"

namespace ShaderTool {

const char kHelperFunctionPrefix[] = "_assign_";

namespace {

// Keywords and reserved words of GLSL 1.20 and 1.40 and of ES 1.00 and 3.00
// that ZKSL takes as ordinary identifiers. Every GL-family target refuses
// them all, so that a file that translates for one translates for the others.
const char* const GLSL_RESERVED_WORDS[] = {
    "attribute", "const", "uniform", "varying", "buffer", "shared", "layout", "centroid", "flat", "smooth",
    "noperspective", "patch", "sample", "invariant", "precise", "precision", "lowp", "mediump", "highp", "in",
    "out", "inout", "break", "continue", "do", "for", "while", "switch", "case", "default", "if", "else",
    "discard", "return", "true", "false", "subroutine", "float", "int", "void", "bool", "uint", "double",
    "vec2", "vec3", "vec4", "ivec2", "ivec3", "ivec4", "bvec2", "bvec3", "bvec4", "uvec2", "uvec3", "uvec4",
    "dvec2", "dvec3", "dvec4", "mat2", "mat3", "mat4", "mat2x2", "mat2x3", "mat2x4", "mat3x2", "mat3x3",
    "mat3x4", "mat4x2", "mat4x3", "mat4x4", "sampler1D", "sampler2D", "sampler3D", "samplerCube",
    "sampler1DShadow", "sampler2DShadow", "samplerCubeShadow", "sampler1DArray", "sampler2DArray",
    "sampler1DArrayShadow", "sampler2DArrayShadow", "isampler1D", "isampler2D", "isampler3D", "isamplerCube",
    "isampler1DArray", "isampler2DArray", "usampler1D", "usampler2D", "usampler3D", "usamplerCube",
    "usampler1DArray", "usampler2DArray", "sampler2DRect", "sampler2DRectShadow", "isampler2DRect",
    "usampler2DRect", "samplerBuffer", "isamplerBuffer", "usamplerBuffer", "sampler3DRect",
    "samplerExternalOES", "struct", "common", "partition", "active", "asm", "class", "union", "enum",
    "typedef", "template", "this", "packed", "resource", "goto", "inline", "noinline", "volatile", "public",
    "static", "extern", "external", "interface", "long", "short", "half", "fixed", "unsigned", "superp",
    "input", "output", "hvec2", "hvec3", "hvec4", "fvec2", "fvec3", "fvec4", "filter", "sizeof", "cast",
    "namespace", "using", "row_major", nullptr,
};

// Keywords and reserved words of every HLSL dialect that ZKSL takes as
// ordinary names, and the structures the translation declares with the
// members it adds to the input structure.
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
    // The entry point's structures, and the members the special inputs add
    // to the input structure: no name of the source reaches a member, but
    // the source keeps out of every name the translation writes.
    "VertexInput", "VertexOutput", "PixelInput", "PixelOutput", "_facing", "_instance_id", "_vertex_id",
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

// The prefixes of the names each family writes of its own: the Shader XML's
// vertex inputs, varyings, pixel outputs, constants and textures (and
// HLSL's sampler states, and HLSL9's reciprocal texture sizes, which are
// constants), and the helper functions. GLSL's own names begin with "gl_".
// A family refuses the prefixes of all its dialects (GLSL21 and ESSL20
// write no "_out_", HLSL9 no "_smp_"), as the GL family refuses the words
// of all its dialects, so that a file that translates for one translates
// for the others.
const char* const GLSL_PREFIXES[] = {
    "gl_", "_in_", "_vary_", "_out_", "_const_", "_tex_", kHelperFunctionPrefix, nullptr,
};
const char* const HLSL_PREFIXES[] = {"_const_", "_tex_", "_smp_", kHelperFunctionPrefix, nullptr};

// Every word list of the rows, as a hashed set, built once per process.
class WordSets {
public:
    WordSets() {
        for (const ReservedNames& row : kReservedNames) {
            for (const char* const* list : row.word_lists) Add(list);
            Add(row.sized_scalar_types);
        }
    }
    ~WordSets() {
        for (int i = 0; i < count; ++i) delete sets[i];
    }
    WordSets(const WordSets&) = delete;
    WordSets& operator=(const WordSets&) = delete;

    // Whether the first length characters of name are a word of the list.
    bool Contains(const char* const* list, const char* name, size_t length) const {
        for (int i = 0; i < count; ++i)
            if (lists[i] == list) return sets[i]->Contains(name, length);
        return false;
    }

private:
    static const int kMaximum = 2 * kTargetCount + kTargetCount;
    void Add(const char* const* list) {
        if (!list) return;
        for (int i = 0; i < count; ++i)
            if (lists[i] == list) return;
        lists[count] = list;
        sets[count] = new NameSet(list);
        ++count;
    }
    const char* const* lists[kMaximum] = {};
    NameSet* sets[kMaximum] = {};
    int count = 0;
};

const WordSets& Sets() {
    static const WordSets sets;
    return sets;
}

bool IsSize(char c) { return c >= '1' && c <= '4'; }

bool IsSizedTypeName(const char* const* scalars, const char* name) {
    if (!scalars) return false;
    size_t length = strlen(name);
    if (length >= 2 && IsSize(name[length - 1]) && Sets().Contains(scalars, name, length - 1)) return true;
    return length >= 4 && IsSize(name[length - 3]) && name[length - 2] == 'x' && IsSize(name[length - 1]) &&
           Sets().Contains(scalars, name, length - 3);
}

}  // namespace

// The GL family refuses one list, the names its languages keep for
// themselves and the prefixes of its texts; the HLSL dialects refuse the
// words of every HLSL dialect and their own, the sized forms of their
// scalar types and the prefixes of their texts.
const ReservedNames kReservedNames[kTargetCount] = {
    {ESSL20, {GLSL_RESERVED_WORDS, nullptr}, nullptr, GLSL_PREFIXES, "__"},
    {ESSL30, {GLSL_RESERVED_WORDS, nullptr}, nullptr, GLSL_PREFIXES, "__"},
    {GLSL21, {GLSL_RESERVED_WORDS, nullptr}, nullptr, GLSL_PREFIXES, "__"},
    {GLSL31, {GLSL_RESERVED_WORDS, nullptr}, nullptr, GLSL_PREFIXES, "__"},
    {HLSL9, {HLSL_RESERVED_WORDS, HLSL9_RESERVED_WORDS}, HLSL_SCALAR_TYPES, HLSL_PREFIXES, nullptr},
    {HLSL11, {HLSL_RESERVED_WORDS, HLSL11_RESERVED_WORDS}, HLSL_SCALAR_TYPES, HLSL_PREFIXES, nullptr},
    {PSSL, {HLSL_RESERVED_WORDS, PSSL_RESERVED_WORDS}, PSSL_SCALAR_TYPES, HLSL_PREFIXES, nullptr},
};

const ReservedNames* GetReservedNames(int target) {
    for (const ReservedNames& row : kReservedNames)
        if (row.target == target) return &row;
    return nullptr;
}

bool IsReservedName(int target, const char* name) {
    const ReservedNames* row = GetReservedNames(target);
    if (!row || !name) return false;
    size_t length = strlen(name);
    for (const char* const* list : row->word_lists)
        if (list && Sets().Contains(list, name, length)) return true;
    for (const char* const* prefix = row->prefixes; prefix && *prefix; ++prefix)
        if (strncmp(name, *prefix, strlen(*prefix)) == 0) return true;
    if (row->infix && strstr(name, row->infix)) return true;
    return IsSizedTypeName(row->sized_scalar_types, name);
}

}  // namespace ShaderTool
