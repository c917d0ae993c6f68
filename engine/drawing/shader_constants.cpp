// The transform constants of a shader, filled from the current transforms.

#include "engine/drawing/shader_constants.h"

#include <cstring>

#include "engine/base/ntransform.h"
#include "engine/shaders/run_time_shaders.h"
#include "engine/runtime/state.h"

namespace {

nTransform Product(const nTransform& a, const nTransform& b) {
    nTransform product;
    nTransform::Combine(product, a, b);
    return product;
}

// The current matrix of a transform semantic, from the transform stacks.
bool CurrentTransform(uint32_t semantic, nTransform& out) {
    zk_graphics_api_t* graphics = zk->graphics;
    switch (semantic) {
    case ShaderTool::CONSTANT_WORLD_TRANSFORM:
        out = graphics->ZK_Graphics_PeekWorldTransform();
        return true;
    case ShaderTool::CONSTANT_VIEW_TRANSFORM:
        out = graphics->ZK_Graphics_PeekViewTransform();
        return true;
    case ShaderTool::CONSTANT_WORLD_VIEW_TRANSFORM:
        out = Product(graphics->ZK_Graphics_PeekViewTransform(), graphics->ZK_Graphics_PeekWorldTransform());
        return true;
    case ShaderTool::CONSTANT_WORLD_VIEW_PROJECTION_TRANSFORM:
        out = Product(graphics->ZK_Graphics_PeekProjectionTransform(),
                      Product(graphics->ZK_Graphics_PeekViewTransform(), graphics->ZK_Graphics_PeekWorldTransform()));
        return true;
    case ShaderTool::CONSTANT_VIEW_PROJECTION_TRANSFORM:
        out = Product(graphics->ZK_Graphics_PeekProjectionTransform(), graphics->ZK_Graphics_PeekViewTransform());
        return true;
    default:
        return false;
    }
}

}  // namespace

void UpdateShaderConstantTable(zk_shader_t::constant_table_t& table, bool& unchanged) {
    for (int i = 0; i < table.count; ++i) {
        zk_shader_t::constant_t& entry = table.entries[i];
        nTransform current;
        if (!CurrentTransform(entry.semantic, current)) continue;
        size_t bytes = entry.size < sizeof(current.m) ? entry.size : sizeof(current.m);
        if (memcmp(entry.value, current.m, bytes) == 0) continue;
        memcpy(entry.value, current.m, bytes);
        entry.uploaded = 0;
        unchanged = false;
    }
}

void ZKI_UpdateShaderConstants(zk_shader_t* shader) {
    if (!shader || !(shader->flags & ZK_SHADER_LOADED)) return;
    bool unchanged = (shader->flags & ZK_SHADER_CONSTANTS_UNCHANGED) != 0;
    UpdateShaderConstantTable(shader->vertex_constants, unchanged);
    UpdateShaderConstantTable(shader->pixel_constants, unchanged);
    if (unchanged) {
        shader->flags |= ZK_SHADER_CONSTANTS_UNCHANGED;
    } else {
        shader->flags &= static_cast<uint8_t>(~ZK_SHADER_CONSTANTS_UNCHANGED);
    }
}
