// The shader functions of the graphics API: getting, reloading and setting
// shaders, their constants, tags and user values, on the batch renderer.

#include "engine/drawing/shader_functions.h"

#include <cstring>

#include "engine/drawing/batch_renderer.h"
#include "engine/render/renderer_implementation.h"
#include "engine/render/resource_queues.h"
#include "engine/shaders/run_time_shaders.h"
#include "engine/runtime/interface_functions.h"
#include "engine/runtime/state.h"
#include "engine/runtime/threads.h"
#include "engine/storage/database_manager.h"

namespace {

bool IsLoaded(const zk_shader_t* shader) { return shader && (shader->flags & ZK_SHADER_LOADED); }

// Separators around a tag in a shader's tags text.
bool IsTagBoundary(char c) { return c == '\0' || c == ' ' || c == ',' || c == ';'; }

int ConstantIndex(const zk_shader_t::constant_table_t& table, const char* name) {
    if (!name) return -1;
    for (int i = 0; i < table.count; ++i) {
        if (table.entries[i].name && strcmp(table.entries[i].name, name) == 0) return i;
    }
    return -1;
}

void* ConstantValue(const zk_shader_t::constant_table_t& table, int index) {
    return index >= 0 && index < table.count ? table.entries[index].value : nullptr;
}

void SetConstant(zk_shader_t* shader, zk_shader_t::constant_table_t& table, int index, const void* value) {
    if (!IsLoaded(shader)) return;
    zk_batch_renderer.Flush();
    if (index < 0 || index >= table.count || !value) return;
    zk_shader_t::constant_t& entry = table.entries[index];
    if (memcmp(entry.value, value, entry.size) == 0) return;
    memcpy(entry.value, value, entry.size);
    entry.uploaded = 0;
    shader->flags &= static_cast<uint8_t>(~ZK_SHADER_CONSTANTS_UNCHANGED);
}

// Puts the copy taken before a reload back into the record.
void RestoreShader(zk_shader_t* shader, const zk_shader_t& copy) {
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_GET_SHADER);
    *shader = copy;
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_SHADER);
}

}  // namespace

void ZKI_MakeShaderCurrent(zk_shader_t* shader) {
    zk_shader_t* wanted = shader && shader->renderer_shader ? shader : zk_batch_renderer.default_shader;
    if (wanted == zk_batch_renderer.current_shader) return;
    zk_batch_renderer.Flush();
    zk_batch_renderer.SetCurrentShader(wanted);
}

zk_shader_t* ZK_Graphics_GetShader(const char* name) {
    bool existed = false;
    zk_shader_t* shader = GetAndInitializeShader(name, existed);
    // A placeholder name ('!' first, also for a null name) is never loaded.
    if (!shader || existed || shader->name[0] == '!') return shader;
    bool reload = false;
    for (;;) {
        int result = LoadShader(shader, true, reload);
        if (result == ZK_SHADER_LOAD_DONE) break;
        ResetShader(shader, false);
        if (result != ZK_SHADER_LOAD_AGAIN) break;
        reload = true;
    }
    return shader;
}

bool ZK_Graphics_ReloadShader(zk_shader_t* shader) {
    if (!shader || !shader->name || shader->name[0] == '!') return false;
    zk_batch_renderer.Flush();
    const zk_shader_t copy = *shader;
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_GET_SHADER);
    memset(shader, 0, sizeof(*shader));
    shader->name = copy.name;
    shader->kind = copy.kind;
    shader->index = copy.index;
    shader->source_time = copy.source_time;
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_SHADER);

    bool reloaded = false;
    for (;;) {
        int result = LoadShader(shader, true, true);
        if (result == ZK_SHADER_LOAD_DONE) {
            zk_shader_t old = copy;
            ZKI_FreeReplacedShader(&old);
            reloaded = true;
            break;
        }
        // Whatever the failed attempt built is dropped; on failure the old
        // version stays loaded, renderer object and all, so that the program
        // keeps drawing with it.
        ResetShader(shader, true);
        if (result == ZK_SHADER_LOAD_AGAIN) continue;
        RestoreShader(shader, copy);
        break;
    }
    if (zk_batch_renderer.current_shader == shader) {
        zk_batch_renderer.Flush();
        zk_batch_renderer.SetCurrentShader(shader->renderer_shader ? shader : zk_batch_renderer.default_shader);
    }
    return reloaded;
}

void ZK_Graphics_SetShader(zk_shader_t* shader) {
    if (shader && !IsLoaded(shader)) return;
    ZKI_MakeShaderCurrent(shader);
}

bool ZK_Graphics_IsShaderSupported(zk_shader_t* shader) {
    if (!shader) return false;
    if (!ZKI_IsRendererThread()) {
        for (;;) {
            {
                ZK_ResourceQueueLock lock;
                if (!ZKI_IsQueued(zk_state.shader_load_queue, shader)) break;
            }
            zk->ZKT_Sleep(1);
        }
    }
    return IsLoaded(shader) && ri && ri->IsShaderSupported(shader);
}

int ZK_Graphics_GetShaderPixelConstantIndex(zk_shader_t* shader, const char* name) {
    return shader ? ConstantIndex(shader->pixel_constants, name) : -1;
}

int ZK_Graphics_GetShaderVertexConstantIndex(zk_shader_t* shader, const char* name) {
    return shader ? ConstantIndex(shader->vertex_constants, name) : -1;
}

void* ZK_Graphics_GetShaderPixelConstant(zk_shader_t* shader, int index) {
    return shader ? ConstantValue(shader->pixel_constants, index) : nullptr;
}

void* ZK_Graphics_GetShaderVertexConstant(zk_shader_t* shader, int index) {
    return shader ? ConstantValue(shader->vertex_constants, index) : nullptr;
}

void ZK_Graphics_SetShaderPixelConstant(zk_shader_t* shader, int index, zk_shader_constant_type_t, const void* value,
                                        int) {
    if (shader) SetConstant(shader, shader->pixel_constants, index, value);
}

void ZK_Graphics_SetShaderVertexConstant(zk_shader_t* shader, int index, zk_shader_constant_type_t, const void* value,
                                         int) {
    if (shader) SetConstant(shader, shader->vertex_constants, index, value);
}

const char* ZK_Graphics_GetShaderTags(zk_shader_t* shader) { return shader ? shader->tags : nullptr; }

bool ZK_Graphics_ShaderTagExists(zk_shader_t* shader, const char* tag) {
    if (!shader || !shader->tags || !tag || !tag[0]) return false;
    size_t length = strlen(tag);
    for (const char* found = strstr(shader->tags, tag); found; found = strstr(found + 1, tag)) {
        bool starts = found == shader->tags || IsTagBoundary(found[-1]);
        if (starts && IsTagBoundary(found[length])) return true;
    }
    return false;
}

const char* ZK_Graphics_GetShaderUserValue(zk_shader_t* shader, const char* key) {
    if (!shader || !shader->name || !key) return nullptr;
    return zk_dman.GetValue(shader->name, "user", key, "value");
}
