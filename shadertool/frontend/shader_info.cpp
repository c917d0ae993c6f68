#include "shadertool/frontend/shader_info.h"

#include <cstdlib>
#include <cstring>

namespace ShaderTool {

// Copies one buffer of a ShaderCode: bytes that the source does not own are
// shared, owned bytes are duplicated, and the destination's old bytes are
// freed only when it owned them.
static void CopyCodeBuffer(nByteBuffer& destination, const nByteBuffer& source) {
    if (&destination == &source) return;
    uint8_t* bytes = nullptr;
    if (source.external) {
        bytes = source.data;
    } else if (source.size > 0 && source.data) {
        bytes = static_cast<uint8_t*>(malloc(static_cast<size_t>(source.size)));
        if (bytes) memcpy(bytes, source.data, static_cast<size_t>(source.size));
    }
    if (!destination.external) free(destination.data);
    destination.data = bytes;
    destination.size = bytes || source.external ? source.size : 0;
    destination.capacity = destination.size;
    destination.position = source.position;
    destination.swap = source.swap;
    destination.external = source.external;
}

ShaderCode::ShaderCode(const ShaderCode& other) { *this = other; }

ShaderCode& ShaderCode::operator=(const ShaderCode& other) {
    CopyCodeBuffer(vertex, other.vertex);
    CopyCodeBuffer(pixel, other.pixel);
    return *this;
}

bool ShaderCode::Append(ShaderType stage, const void* bytes, int length) {
    return GetBuffer(stage).Append(bytes, length);
}

bool ShaderCode::AppendStringWithNullTerminator(ShaderType stage, const char* text) {
    return GetBuffer(stage).AppendWithStringAndNullTerminator(text);
}

nArray<Capabilities> GetCapabilities() {
    nArray<Capabilities> capabilities;
    for (const TargetDescription& target : kTargets) {
        Capabilities entry;
        entry.multiple_pixel_outputs = target.multiple_pixel_outputs;
        entry.textures_3d = target.textures_3d;
        capabilities.InsertLast(entry);
    }
    return capabilities;
}

const TargetDescription* FindTarget(int target) {
    int index = GetShaderTargetIndex(target);
    return index < 0 ? nullptr : &kTargets[index];
}

// Single targets first, then families (a family of one target has the
// target's name and mask), then all targets.
int GetShaderTargetsFromString(const char* name) {
    if (!name) return 0;
    for (const TargetDescription& target : kTargets)
        if (strcmp(target.name, name) == 0) return target.bit;
    for (int family = 0; family < kTargetFamilyCount; ++family)
        if (strcmp(kTargetFamilies[family].name, name) == 0) return GetFamilyTargets(TargetFamily(family));
    return strcmp(name, "ALL") == 0 ? ALL_TARGETS : 0;
}

int GetShaderLevelsFromString(const char* name) {
    if (!name) return 0;
    for (const LevelDescription& level : kLevels)
        if (strcmp(level.name, name) == 0) return level.bit;
    return strcmp(name, "ALL") == 0 ? ALL_LEVELS : 0;
}

const char* GetShaderTargetName(int index) {
    if (index < 0 || index >= kTargetCount) return nullptr;
    return kTargets[index].name;
}

int GetShaderTargetIndex(int target) {
    for (int i = 0; i < kTargetCount; ++i)
        if (target == (1 << i)) return i;
    return -1;
}

// A list item longer than this cannot be a target name.
static const int kMaximumItemLength = 15;

// Mask of one list item [begin, end); 0 when it is empty, too long or unknown.
static int GetItemTargets(const char* begin, const char* end) {
    long length = end - begin;
    if (length <= 0 || length > kMaximumItemLength) return 0;
    char item[kMaximumItemLength + 1];
    memcpy(item, begin, static_cast<size_t>(length));
    item[length] = '\0';
    return GetShaderTargetsFromString(item);
}

// Items are separated by commas; a trailing comma adds no item.
static int CountItems(const char* text) {
    int items = 1;
    for (const char* c = text; *c; ++c)
        if (*c == ',' && c[1] != '\0') ++items;
    return items;
}

int GetSourceTargetIds(const char* text) {
    if (!text || !text[0]) return ALL_TARGETS;
    if (CountItems(text) == 1 && text[0] == '~') {
        int bits = GetShaderTargetsFromString(text + 1);
        return bits ? bits ^ ALL_TARGETS : 0;
    }
    int mask = 0;
    const char* begin = text;
    while (true) {
        const char* end = strchr(begin, ',');
        if (!end) end = begin + strlen(begin);
        bool trailing = *end == ',' && end[1] == '\0';
        int bits = GetItemTargets(begin, end);
        if (!bits) return 0;
        mask |= bits;
        if (*end == '\0' || trailing) break;
        begin = end + 1;
    }
    return mask;
}

}  // namespace ShaderTool
