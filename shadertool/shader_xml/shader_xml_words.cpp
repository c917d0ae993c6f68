#include "shadertool/shader_xml/shader_xml_words.h"

#include <cstring>

#include "shadertool/frontend/shader_info.h"

namespace ShaderTool {

#define ZK_COUNT_OF(table) static_cast<int>(sizeof(table) / sizeof((table)[0]))

const ShaderXMLWord* FindShaderXMLWord(const ShaderXMLWord* table, int count, const char* name) {
    if (!name) return nullptr;
    for (int i = 0; i < count; ++i)
        if (std::strcmp(table[i].name, name) == 0) return &table[i];
    return nullptr;
}

const ShaderXMLArrayDescription kShaderXMLArrays[] = {
    {"info", false},
    {"constants", false},
    {"vertex_input", false},
    {"vertex_constants", false},
    {"vertex_output", false},
    {"pixel_constants", false},
    {"pixel_textures", false},
    {"pixel_output", true},
    {"sources", true},
};
static_assert(ZK_COUNT_OF(kShaderXMLArrays) == SHADER_XML_ARRAY_COUNT, "one row per ShaderXMLArray");

const char* const kShaderXMLInfoEntries[] = {"version", "revision", "tags", "target", "feature_level"};
static_assert(ZK_COUNT_OF(kShaderXMLInfoEntries) == SHADER_XML_INFO_ENTRY_COUNT, "one row per ShaderXMLInfoEntry");

const ShaderXMLWord kFeatureLevels[] = {
    {"1", ALL_TARGETS},
    {"2", ALL_TARGETS & ~(ESSL20 | GLSL21)},
};
const int kFeatureLevelCount = ZK_COUNT_OF(kFeatureLevels);

const VertexInputSemanticWord kVertexInputSemantics[] = {
    {"POSITION", INPUT_POSITION, TYPE_FLOAT, 4},
    {"COLOR", INPUT_COLOR, TYPE_FLOAT, 4},
    {"TEXTURE_COORDINATE_0", INPUT_TEXTURE_COORDINATE_0, TYPE_FLOAT, 2},
    {"NORMAL", INPUT_NORMAL, TYPE_FLOAT, 3},
    {"TEXTURE_COORDINATE_1", INPUT_TEXTURE_COORDINATE_1, TYPE_FLOAT, 2},
    {"TANGENT", INPUT_TANGENT, TYPE_FLOAT, 3},
    {"BITANGENT", INPUT_BITANGENT, TYPE_FLOAT, 3},
    {"4_BONE_INDICES", INPUT_4_BONE_INDICES, TYPE_INT, 4},
    {"4_BONE_WEIGHTS", INPUT_4_BONE_WEIGHTS, TYPE_FLOAT, 4},
};
const int kVertexInputSemanticCount = ZK_COUNT_OF(kVertexInputSemantics);

const int kVertexFormats[] = {1, 7, 15, 47, 111, 385, 399, 495};
const int kVertexFormatCount = ZK_COUNT_OF(kVertexFormats);

const VariableTypeWord kVariableTypes[] = {
    {"BOOL", TYPE_BOOL, 1, 0},      {"FLOAT", TYPE_FLOAT, 1, 0},    {"FLOAT2", TYPE_FLOAT, 2, 0},
    {"FLOAT3", TYPE_FLOAT, 3, 0},   {"FLOAT4", TYPE_FLOAT, 4, 0},   {"FLOAT2X2", TYPE_FLOAT, 0, 2},
    {"FLOAT3X3", TYPE_FLOAT, 0, 3}, {"FLOAT4X4", TYPE_FLOAT, 0, 4}, {"INT", TYPE_INT, 1, 0},
    {"INT2", TYPE_INT, 2, 0},       {"INT3", TYPE_INT, 3, 0},       {"INT4", TYPE_INT, 4, 0},
};
const int kVariableTypeCount = ZK_COUNT_OF(kVariableTypes);

bool IsConstantVariableType(const Type& type) {
    bool vector = type.vector_size == 4 && (type.basic_type == TYPE_FLOAT || type.basic_type == TYPE_INT);
    bool matrix = type.matrix_size != 0 && type.basic_type == TYPE_FLOAT;
    return vector || matrix;
}

const ShaderXMLWord kConstantSemantics[] = {
    {"WORLD_TRANSFORM", CONSTANT_WORLD_TRANSFORM},
    {"WORLD_VIEW_TRANSFORM", CONSTANT_WORLD_VIEW_TRANSFORM},
    {"WORLD_VIEW_PROJECTION_TRANSFORM", CONSTANT_WORLD_VIEW_PROJECTION_TRANSFORM},
    {"VIEW_TRANSFORM", CONSTANT_VIEW_TRANSFORM},
    {"VIEW_PROJECTION_TRANSFORM", CONSTANT_VIEW_PROJECTION_TRANSFORM},
};
const int kConstantSemanticCount = ZK_COUNT_OF(kConstantSemantics);

const ShaderXMLWord kVertexOutputSemantics[] = {
    {"COLOR", OUTPUT_COLOR},
    {"POSITION", OUTPUT_POSITION},
    {"TEXTURE_COORDINATE", OUTPUT_TEXTURE_COORDINATE},
};
const int kVertexOutputSemanticCount = ZK_COUNT_OF(kVertexOutputSemantics);

const ShaderXMLWord kTextureTypes[] = {{"2D", TEXTURE_2D}, {"3D", TEXTURE_3D}, {"CUBE", TEXTURE_CUBE}};
const int kTextureTypeCount = ZK_COUNT_OF(kTextureTypes);

const ShaderXMLWord kAddressModes[] = {{"CLAMP", 1}, {"WRAP", 2}, {"MIRROR", 3}};
const int kAddressModeCount = ZK_COUNT_OF(kAddressModes);

const ShaderXMLWord kFilterModes[] = {{"POINT", 1}, {"LINEAR", 2}, {"ANISOTROPIC", 3}};
const int kFilterModeCount = ZK_COUNT_OF(kFilterModes);

const ShaderXMLWord kShaderTypes[] = {{"vertex", VERTEX_SHADER}, {"pixel", PIXEL_SHADER}};
const int kShaderTypeCount = ZK_COUNT_OF(kShaderTypes);

#undef ZK_COUNT_OF

}  // namespace ShaderTool
