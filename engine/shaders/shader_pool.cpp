// The shader records: slots, the data taken from a Shader XML, freeing.

#include <cstdlib>
#include <cstring>

#include "engine/render/renderer_implementation.h"
#include "engine/shaders/run_time_shaders.h"
#include "engine/runtime/state.h"

namespace {

const char kNoName[] = "!NONE";

// The layout of each vertex input in the vertex, by its semantic bit.
struct VertexElementLayout {
    uint32_t semantic;
    uint32_t component_class;  // 1 float, 2 unsigned byte
    uint16_t components;
    uint32_t bytes;
};
const VertexElementLayout kVertexElementLayouts[] = {
    {ShaderTool::INPUT_POSITION, 1, 3, 12},
    {ShaderTool::INPUT_COLOR, 2, 4, 4},
    {ShaderTool::INPUT_TEXTURE_COORDINATE_0, 1, 2, 8},
    {ShaderTool::INPUT_NORMAL, 1, 3, 12},
    {ShaderTool::INPUT_TEXTURE_COORDINATE_1, 1, 2, 8},
    {ShaderTool::INPUT_TANGENT, 1, 3, 12},
    {ShaderTool::INPUT_BITANGENT, 1, 3, 12},
    {ShaderTool::INPUT_4_BONE_INDICES, 2, 4, 4},
    {ShaderTool::INPUT_4_BONE_WEIGHTS, 1, 4, 16},
};
const int kMaximumVertexElements = sizeof(zk_shader_t::vertex_elements) / sizeof(zk_shader_t::vertex_element_t);
const int kMaximumTextureInputs = sizeof(zk_shader_t::texture_inputs) / sizeof(zk_shader_t::texture_input_t);

const VertexElementLayout* FindVertexElementLayout(int semantic) {
    for (const VertexElementLayout& layout : kVertexElementLayouts) {
        if (static_cast<int>(layout.semantic) == semantic) return &layout;
    }
    return nullptr;
}

// 1 float4, 2 float4x4, 3 int4, 0 anything else.
uint32_t ValueKindOf(const ShaderTool::Type& type) {
    if (type.basic_type == ShaderTool::TYPE_FLOAT && type.matrix_size == 4) return 2;
    if (type.matrix_size != 0 || type.vector_size != 4) return 0;
    if (type.basic_type == ShaderTool::TYPE_FLOAT) return 1;
    if (type.basic_type == ShaderTool::TYPE_INT) return 3;
    return 0;
}

// The byte size a constant's entry keeps (16-bit, as the entry records it).
uint16_t ValueSize(const ShaderTool::ShaderConstantVariable& variable) {
    if (variable.size <= 0) return 0;
    return static_cast<uint16_t>(variable.size < 0xFFFF ? variable.size : 0xFFFF);
}

void InitializeVertexElements(zk_shader_t* shader, const nArray<ShaderTool::ShaderVertexInputVariable>& inputs) {
    shader->num_vertex_elements = 0;
    shader->vertex_semantics = 0;
    uint32_t offset = 0;
    for (int i = 0; i < inputs.count && shader->num_vertex_elements < kMaximumVertexElements; ++i) {
        const VertexElementLayout* layout = FindVertexElementLayout(inputs[i].semantic);
        zk_shader_t::vertex_element_t& element = shader->vertex_elements[shader->num_vertex_elements++];
        element.offset = offset;
        element.semantic = static_cast<uint32_t>(inputs[i].semantic);
        element.component_class = layout ? layout->component_class : 0;
        element.component_count = layout ? layout->components : 0;
        offset += layout ? layout->bytes : 0;
        shader->vertex_semantics |= element.semantic;
    }
}

void InitializeTextureInputs(zk_shader_t* shader, const nArray<ShaderTool::ShaderTextureVariable>& textures) {
    int count = textures.count < kMaximumTextureInputs ? textures.count : kMaximumTextureInputs;
    for (int i = 0; i < count; ++i) {
        const ShaderTool::ShaderTextureVariable& texture = textures[i];
        zk_shader_t::texture_input_t& input = shader->texture_inputs[i];
        input.name = strdup(texture.id.c_str());
        input.source = texture.source;
        input.address_u = static_cast<uint32_t>(texture.address_u);
        input.address_v = static_cast<uint32_t>(texture.address_v);
        input.address_w = static_cast<uint32_t>(texture.address_w);
        input.filter_mag = static_cast<uint32_t>(texture.filter_mag);
        input.filter_min = static_cast<uint32_t>(texture.filter_min);
        input.filter_mip = static_cast<uint32_t>(texture.filter_mip);
    }
    shader->num_texture_inputs = static_cast<int16_t>(count);
}

}  // namespace

zk_shader_t* GetAndInitializeShader(const char* name, bool& existed) {
    if (!name) name = kNoName;
    existed = false;
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_GET_SHADER);
    // Every slot taken so far is searched: a name may sit behind a slot
    // freed earlier, and stopping at that free slot would give the name a
    // second record.
    int taken = zk_state.num_shaders < ZK_MAX_SHADERS ? zk_state.num_shaders : ZK_MAX_SHADERS;
    int free_slot = -1;
    for (int i = 0; i < taken; ++i) {
        zk_shader_t* shader = &zk_state.shaders[i];
        if (!shader->name) {
            if (free_slot < 0) free_slot = i;
        } else if (strcmp(shader->name, name) == 0) {
            existed = true;
            ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_SHADER);
            return shader;
        }
    }
    if (free_slot < 0 && taken < ZK_MAX_SHADERS) free_slot = taken;
    if (free_slot < 0) {
        ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_SHADER);
        zk->ZK_Printf("Caching shader '%s'...", name);
        zk->ZK_Popupf(ZK_MESSAGE_ERROR, "Failed to load shader '%s': Zekar is out of free shaders.", name);
        return nullptr;
    }
    if (free_slot == zk_state.num_shaders) ++zk_state.num_shaders;
    zk_shader_t* shader = &zk_state.shaders[free_slot];
    memset(shader, 0, sizeof(*shader));
    shader->name = strdup(name);
    shader->kind = ZK_SHADER_KIND;
    shader->index = static_cast<uint32_t>(free_slot);
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_SHADER);
    zk->ZK_Printf("Caching shader '%s'...", name);
    return shader;
}

void InitializeShaderConstants(zk_shader_t::constant_table_t& table,
                               const nArray<ShaderTool::ShaderConstantVariable>& variables) {
    if (variables.count <= 0) return;
    size_t value_bytes = 0;
    for (int i = 0; i < variables.count; ++i) value_bytes += ValueSize(variables[i]);
    table.entries = static_cast<zk_shader_t::constant_t*>(calloc(static_cast<size_t>(variables.count),
                                                                 sizeof(zk_shader_t::constant_t)));
    table.values = static_cast<uint8_t*>(calloc(value_bytes > 0 ? value_bytes : 1, 1));
    if (!table.entries || !table.values) {
        FreeConstantTable(table);
        return;
    }
    table.count = variables.count;
    table.value_bytes = static_cast<int32_t>(value_bytes);
    size_t offset = 0;
    for (int i = 0; i < variables.count; ++i) {
        const ShaderTool::ShaderConstantVariable& variable = variables[i];
        zk_shader_t::constant_t& entry = table.entries[i];
        entry.name = strdup(variable.id.c_str());
        entry.value = table.values + offset;
        entry.count = static_cast<uint16_t>(variable.type.array_size > 1 ? variable.type.array_size : 1);
        entry.semantic = static_cast<uint32_t>(variable.semantic);
        entry.size = ValueSize(variable);
        entry.value_kind = ValueKindOf(variable.type);
        entry.uploaded = 1;
        offset += entry.size;
    }
}

void FreeConstantTable(zk_shader_t::constant_table_t& table) {
    for (int i = 0; table.entries && i < table.count; ++i) free(table.entries[i].name);
    free(table.entries);
    free(table.values);
    table = zk_shader_t::constant_table_t();
}

void InitializeShaderData(zk_shader_t* shader, const ShaderTool::ShaderInfo& info) {
    if (!info.tags.IsEmpty()) shader->tags = strdup(info.tags.c_str());
    InitializeVertexElements(shader, info.vertex_input);
    InitializeShaderConstants(shader->vertex_constants, info.vertex_constants);
    InitializeShaderConstants(shader->pixel_constants, info.pixel_constants);
    shader->flags |= ZK_SHADER_CONSTANTS_UNCHANGED;
    InitializeTextureInputs(shader, info.pixel_textures);
}

void ZKI_FreeShaderInRenderer(zk_shader_t* shader) {
    if (!shader) return;
    if (shader->renderer_shader && ri) ri->FreeShader(shader);
    shader->renderer_shader = nullptr;
    shader->flags &= static_cast<uint8_t>(~ZK_SHADER_LOADED);
}

void ResetShader(zk_shader_t* shader, bool free_in_renderer) {
    if (!shader) return;
    if (free_in_renderer) ZKI_FreeShaderInRenderer(shader);
    for (int i = 0; i < shader->num_texture_inputs && i < kMaximumTextureInputs; ++i) {
        free(shader->texture_inputs[i].name);
        shader->texture_inputs[i].name = nullptr;
    }
    shader->num_texture_inputs = 0;
    FreeConstantTable(shader->pixel_constants);
    FreeConstantTable(shader->vertex_constants);
    shader->num_vertex_elements = 0;
    free(shader->tags);
    shader->tags = nullptr;
    shader->source_time = 0;
}

void ZKI_FreeShader(zk_shader_t* shader) {
    if (!shader) return;
    ResetShader(shader, true);
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_GET_SHADER);
    free(shader->name);
    shader->name = nullptr;
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_SHADER);
}
