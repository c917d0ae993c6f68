// The engine's own shaders, so that it can draw before any game data is
// loaded: each a Shader XML text compiled into the program with, per
// target, either the text of both stages in the target's language or code
// records of both stages.
//
// sources: pairs (vertex text, pixel text), ended by a pair of nulls. Each
// text begins with a header line "<target>,<level>," (for example
// "GLSL21,NONE,"): a target or family name and a level name
// ("HLSL11_DEFAULT", "HLSL11_LOW", "HLSL11_XBOX", "ALL"; anything else is
// level 0).
// binaries: pairs (vertex record, pixel record), ended by a pair of nulls.
// A record is {u32 target bit, u32 level, u32 byte size, the code bytes},
// little-endian. Only the HLSL11 and PSSL targets take records.
//
// The Shader XML texts are the files under builtin/; they and the stage
// texts are written into the program at build time, the stage texts by the
// translators (write_builtin_shader_texts.cpp, run by the build). The code
// records are builtin_shader_records.cpp.
//
// The renderer picks the code for its target and level
// (RendererImplementation::GetShaderInfoCode) and loads the shader under
// its engine name (RendererImplementation::LoadDefaultShader and the
// others, builtin_shaders.cpp).
#pragma once

#include "shadertool/frontend/shader_info.h"

#define ZK_DECLARE_BUILT_IN_SHADER(space)             \
    namespace space {                                 \
    extern const char* const shader_xml;              \
    extern const char* const sources[];               \
    extern const unsigned char* const binaries[];     \
    }

ZK_DECLARE_BUILT_IN_SHADER(InternalShader_default)
ZK_DECLARE_BUILT_IN_SHADER(InternalShader_distance_field)
ZK_DECLARE_BUILT_IN_SHADER(InternalShader_clear)
ZK_DECLARE_BUILT_IN_SHADER(InternalShader_cube_map)
ZK_DECLARE_BUILT_IN_SHADER(InternalShader_hdr)
ZK_DECLARE_BUILT_IN_SHADER(InternalShader_mip)
#undef ZK_DECLARE_BUILT_IN_SHADER

// One built-in shader: its engine name and its tables.
struct zk_built_in_shader_t {
    const char* name;
    const char* shader_xml;
    const char* const* sources;
    const unsigned char* const* binaries;
};
// The six, in the order default, distance field, clear, cube map, HDR, mip.
extern const zk_built_in_shader_t zk_built_in_shaders[6];

// The first text of the walk whose header names exactly the target and the
// level, from the line break that ends its header line; null when none
// does. The walk takes every second entry until a null one: the vertex
// texts of a sources table, or its pixel texts when given the table
// shifted by one.
const char* FindShaderSource(const char* const* texts, ShaderTool::ShaderTarget target, ShaderTool::ShaderLevel level);
