// Picking and loading the built-in shaders for the current renderer.

#include "engine/shaders/builtin_shaders.h"

#include <cstring>

#include "engine/render/renderer_implementation.h"
#include "engine/shaders/run_time_shaders.h"

const zk_built_in_shader_t zk_built_in_shaders[6] = {
    {"internal_default", InternalShader_default::shader_xml, InternalShader_default::sources,
     InternalShader_default::binaries},
    {"internal_distance_field", InternalShader_distance_field::shader_xml, InternalShader_distance_field::sources,
     InternalShader_distance_field::binaries},
    {"internal_clear", InternalShader_clear::shader_xml, InternalShader_clear::sources,
     InternalShader_clear::binaries},
    {"internal_cube_map", InternalShader_cube_map::shader_xml, InternalShader_cube_map::sources,
     InternalShader_cube_map::binaries},
    {"internal_hdr", InternalShader_hdr::shader_xml, InternalShader_hdr::sources, InternalShader_hdr::binaries},
    {"internal_mip", InternalShader_mip::shader_xml, InternalShader_mip::sources, InternalShader_mip::binaries},
};

namespace {

enum { kDefault, kDistanceField, kClear, kCubeMap, kHdr, kMip };

struct LevelName {
    const char* name;
    int level;
};
const LevelName kLevelNames[] = {
    {"HLSL11_DEFAULT", ShaderTool::HLSL11_DEFAULT},
    {"HLSL11_LOW", ShaderTool::HLSL11_LOW},
    {"HLSL11_XBOX", ShaderTool::HLSL11_XBOX},
    {"ALL", ShaderTool::ALL_LEVELS},
};

const int kMaximumTokenLength = 511;

int LevelOfName(const char* name) {
    for (const LevelName& entry : kLevelNames) {
        if (strcmp(entry.name, name) == 0) return entry.level;
    }
    return ShaderTool::LEVEL_NONE;
}

// Copies the text up to the next ',' into `token` and returns the position
// after that comma; null when no comma comes within the longest token.
const char* ReadHeaderToken(const char* text, char (&token)[kMaximumTokenLength + 1]) {
    int length = 0;
    while (length <= kMaximumTokenLength && text[length] && text[length] != ',') ++length;
    // A comma right after the longest token still leaves the token too long.
    if (length > kMaximumTokenLength || text[length] != ',') return nullptr;
    memcpy(token, text, static_cast<size_t>(length));
    token[length] = '\0';
    return text + length + 1;
}

uint32_t ReadU32LittleEndian(const unsigned char* bytes) {
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

// The stage's first record for the target and level.
const unsigned char* FindCodeRecord(const unsigned char* const* binaries, ShaderTool::ShaderType stage, int target,
                                    int level) {
    if (!binaries) return nullptr;
    for (int pair = 0; binaries[2 * pair] || binaries[2 * pair + 1]; ++pair) {
        const unsigned char* record = binaries[2 * pair + (stage == ShaderTool::PIXEL_SHADER ? 1 : 0)];
        if (!record) continue;
        if (static_cast<int>(ReadU32LittleEndian(record)) == target &&
            static_cast<int>(ReadU32LittleEndian(record + 4)) == level)
            return record;
    }
    return nullptr;
}

zk_shader_t* LoadBuiltInShader(RendererImplementation* renderer, const zk_built_in_shader_t& shader) {
    ShaderTool::ShaderCode code;
    if (!renderer->GetShaderInfoCode(shader.sources, shader.binaries, code)) return nullptr;
    return ZKI_LoadShaderWithPreCompiledCode(shader.name, shader.shader_xml, code);
}

}  // namespace

const char* FindShaderSource(const char* const* texts, ShaderTool::ShaderTarget target, ShaderTool::ShaderLevel level) {
    if (!texts) return nullptr;
    // Only the entry itself ends the walk: the entry after a pixel text is
    // the next pair's vertex text, null after the last pair.
    for (int i = 0; texts[i]; i += 2) {
        char token[kMaximumTokenLength + 1];
        const char* rest = ReadHeaderToken(texts[i], token);
        if (!rest || ShaderTool::GetShaderTargetsFromString(token) != target) continue;
        rest = ReadHeaderToken(rest, token);
        if (!rest || LevelOfName(token) != level) continue;
        const char* line_break = strchr(rest, '\n');
        if (line_break) return line_break;
    }
    return nullptr;
}

bool RendererImplementation::GetShaderInfoCode(const char* const* sources, const unsigned char* const* binaries,
                                               ShaderTool::ShaderCode& code) {
    int target = GetShaderTarget();
    int level = GetShaderLevel();
    if (target != ShaderTool::HLSL11 && target != ShaderTool::PSSL) {
        if (!sources) return false;
        const char* vertex = FindShaderSource(sources, ShaderTool::ShaderTarget(target), ShaderTool::ShaderLevel(level));
        const char* pixel =
            FindShaderSource(sources + 1, ShaderTool::ShaderTarget(target), ShaderTool::ShaderLevel(level));
        if (!vertex || !pixel) return false;
        code.AppendStringWithNullTerminator(ShaderTool::VERTEX_SHADER, vertex);
        code.AppendStringWithNullTerminator(ShaderTool::PIXEL_SHADER, pixel);
        return true;
    }
    const unsigned char* vertex = FindCodeRecord(binaries, ShaderTool::VERTEX_SHADER, target, level);
    const unsigned char* pixel = FindCodeRecord(binaries, ShaderTool::PIXEL_SHADER, target, level);
    if (!vertex || !pixel) return false;
    code.Append(ShaderTool::VERTEX_SHADER, vertex + 12, static_cast<int>(ReadU32LittleEndian(vertex + 8)));
    code.Append(ShaderTool::PIXEL_SHADER, pixel + 12, static_cast<int>(ReadU32LittleEndian(pixel + 8)));
    return true;
}

zk_shader_t* RendererImplementation::LoadDefaultShader() { return LoadBuiltInShader(this, zk_built_in_shaders[kDefault]); }
zk_shader_t* RendererImplementation::LoadDistanceFieldShader() {
    return LoadBuiltInShader(this, zk_built_in_shaders[kDistanceField]);
}
zk_shader_t* RendererImplementation::LoadClearShader() { return LoadBuiltInShader(this, zk_built_in_shaders[kClear]); }
zk_shader_t* RendererImplementation::LoadCubeMapShader() {
    return LoadBuiltInShader(this, zk_built_in_shaders[kCubeMap]);
}
zk_shader_t* RendererImplementation::LoadHdrShader() { return LoadBuiltInShader(this, zk_built_in_shaders[kHdr]); }
zk_shader_t* RendererImplementation::LoadMipShader() { return LoadBuiltInShader(this, zk_built_in_shaders[kMip]); }
