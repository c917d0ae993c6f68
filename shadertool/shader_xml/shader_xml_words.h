// The words of a Shader XML, each list written once: the arrays the reader
// looks for, the entries of "info", and the values its attributes take
// (semantics, types, texture kinds, address and filter modes, source types,
// feature levels). The reader reads by these tables, and the lists of the
// shader author's guide (docs/shader-xml.md) are generated from them.
// Every word is compared exactly, case-sensitive.
#pragma once

#include "shadertool/frontend/types.h"

namespace ShaderTool {

struct ShaderXMLWord {
    const char* name;
    int value;
};

// The word of that name in a table, or null (also for a null name).
const ShaderXMLWord* FindShaderXMLWord(const ShaderXMLWord* table, int count, const char* name);

// The arrays, in the order the reader reads them.
enum ShaderXMLArray : int {
    ARRAY_INFO = 0,
    ARRAY_CONSTANTS,
    ARRAY_VERTEX_INPUT,
    ARRAY_VERTEX_CONSTANTS,
    ARRAY_VERTEX_OUTPUT,
    ARRAY_PIXEL_CONSTANTS,
    ARRAY_PIXEL_TEXTURES,
    ARRAY_PIXEL_OUTPUT,
    ARRAY_SOURCES,
    SHADER_XML_ARRAY_COUNT
};

struct ShaderXMLArrayDescription {
    const char* name;
    // A missing required array is reported ("sources" only when the
    // sources are read).
    bool required;
};

extern const ShaderXMLArrayDescription kShaderXMLArrays[];  // SHADER_XML_ARRAY_COUNT rows

// The entries of "info", each a node whose "value" holds the entry.
enum ShaderXMLInfoEntry : int {
    INFO_VERSION = 0,
    INFO_REVISION,
    INFO_TAGS,
    INFO_TARGET,
    INFO_FEATURE_LEVEL,
    SHADER_XML_INFO_ENTRY_COUNT
};

extern const char* const kShaderXMLInfoEntries[];  // SHADER_XML_INFO_ENTRY_COUNT rows

// "feature_level" values and the target masks they give; read only when
// "info" has no "target" (without either, the file is for all targets).
extern const ShaderXMLWord kFeatureLevels[];
extern const int kFeatureLevelCount;

// Vertex input semantics: the ShaderVertexInputSemantic bit of each and the
// type of the input it gives.
struct VertexInputSemanticWord {
    const char* name;
    int bit;
    BasicType basic_type;
    int vector_size;
};

extern const VertexInputSemanticWord kVertexInputSemantics[];
extern const int kVertexInputSemanticCount;

// The vertex formats: the OR of a file's vertex input semantics must be one
// of these masks.
extern const int kVertexFormats[];
extern const int kVertexFormatCount;

// Type words of constants and vertex outputs.
struct VariableTypeWord {
    const char* name;
    BasicType basic_type;
    int vector_size;
    int matrix_size;
};

extern const VariableTypeWord kVariableTypes[];
extern const int kVariableTypeCount;

// Whether a vertex or pixel constant may have the type: a float or int
// 4-vector, or a float matrix (arrays of them included).
bool IsConstantVariableType(const Type& type);

// Constant semantics (ShaderConstantSemantic values), vertex output
// semantics (ShaderVertexOutputSemantic), texture kinds (TextureKind),
// address modes and filters (the media layer's values) and source types
// (ShaderType).
extern const ShaderXMLWord kConstantSemantics[];
extern const int kConstantSemanticCount;
extern const ShaderXMLWord kVertexOutputSemantics[];
extern const int kVertexOutputSemanticCount;
extern const ShaderXMLWord kTextureTypes[];
extern const int kTextureTypeCount;
extern const ShaderXMLWord kAddressModes[];
extern const int kAddressModeCount;
extern const ShaderXMLWord kFilterModes[];
extern const int kFilterModeCount;
extern const ShaderXMLWord kShaderTypes[];
extern const int kShaderTypeCount;

}  // namespace ShaderTool
