// Shaders of the graphics API: the 128 zk_shader_t records of the engine
// state, named by the path of their Shader XML.
//
// Getting a shader by name finds or takes a slot and loads it: outputs the
// shader tool wrote under "shaders/<TARGET>/" are used when they exist,
// otherwise the Shader XML is translated at run time for the renderer's
// target and level by the one translation driver of the process. The
// ShaderInfo and the code of both stages then go to the renderer, at once
// on the renderer thread (or when the renderer loads shaders on any
// thread), else through a queue that the next frame drains.
//
// Locks: core mutex GET_SHADER guards the slots' names and num_shaders; the
// named mutex "ShaderTranslator" every use of the translation driver;
// RESOURCE_QUEUE zk_state.shader_load_queue and the queued shader data. The
// graphics slots over this pool (ZK_Graphics_GetShader, ReloadShader,
// SetShader, the constant, tag and user-value functions) drive the batch
// renderer and so lie above it, in engine/drawing/shader_functions.cpp;
// they are declared in engine/runtime/interface_functions.h.
#pragma once

#include "engine/base/narray.h"
#include "engine/base/mutex.h"
#include "engine/runtime/media_records.h"
#include "shadertool/frontend/shader_info.h"

// zk_shader_t::flags
enum {
    ZK_SHADER_CONSTANTS_UNCHANGED = 1,  // no constant changed since the last upload
    ZK_SHADER_LOADED = 2,               // loaded in the renderer
};
// zk_shader_t::kind of a shader record.
enum { ZK_SHADER_KIND = 4 };

// Results of LoadShader and TranslateShader.
enum {
    ZK_SHADER_LOAD_DONE = 0,
    ZK_SHADER_LOAD_FAILED = 1,
    ZK_SHADER_LOAD_AGAIN = 2,      // the user asked to retry after an error
    ZK_SHADER_LOAD_UNCHANGED = 3,  // the sources are as old as the loaded version
};

// A load waiting for the renderer thread. The entry owns copies of the
// code and the info: every copy (and every move, which copies) duplicates
// the bytes of a code buffer that owns them and shares only bytes a buffer
// borrows.
struct QueuedShaderData {
    zk_shader_t* shader = nullptr;
    ShaderTool::ShaderCode code;
    ShaderTool::ShaderInfo info;
};
// Guarded by RESOURCE_QUEUE, like zk_state.shader_load_queue.
extern nArray<QueuedShaderData> queued_shader_data;

// Renderer objects that reloads off the renderer thread replaced, each in a
// record of its own, waiting for the shader pass to free them. Guarded by
// RESOURCE_QUEUE.
extern nArray<zk_shader_t> replaced_renderer_shaders;

// The named mutex "ShaderTranslator" while the renderer runs (null before).
extern zk_mutex_t* shader_translator_mutex;

// --- Translator (renderer start and shutdown) -------------------------------
// Takes "ShaderTranslator" and sets the driver up for the renderer's target;
// in developer mode with the developer value "debug_shaders" beginning with
// 't' or '1', every translation is also written under "user://shaders".
bool ZKI_InitializeShaderTranslator();
void ZKI_DeinitializeShaderTranslator();
// Lets go of everything an earlier engine state left here (the state is
// about to be set up again): the mutex, the queued loads and the replaced
// renderer objects are forgotten, not used.
void ZKI_ForgetRunTimeShaders();

// --- Records ------------------------------------------------------------------
// The record of the name (null stands for "!NONE"), found among every slot
// taken so far, or a fresh one in the first free slot; `existed` tells
// which. Null, with a popup, when all 128 slots are taken.
zk_shader_t* GetAndInitializeShader(const char* name, bool& existed);
// Fills the record from a ShaderInfo: tags, vertex elements, both constant
// tables (values zeroed) and the texture inputs.
void InitializeShaderData(zk_shader_t* shader, const ShaderTool::ShaderInfo& info);
void InitializeShaderConstants(zk_shader_t::constant_table_t& table,
                               const nArray<ShaderTool::ShaderConstantVariable>& variables);
void FreeConstantTable(zk_shader_t::constant_table_t& table);
// Frees the record's data (and, when asked, its renderer object); the name
// and the slot stay.
void ResetShader(zk_shader_t* shader, bool free_in_renderer);
// ResetShader, then the slot is free again.
void ZKI_FreeShader(zk_shader_t* shader);
// Frees only the renderer object (the record keeps its data).
void ZKI_FreeShaderInRenderer(zk_shader_t* shader);

// --- Loading -------------------------------------------------------------------
// One load of the record: ZK_SHADER_LOAD_* results.
int LoadShader(zk_shader_t* shader, bool initialize_data, bool reload);
// With `precompiled` only the Shader XML is read (from xml_text when given,
// else from the file); otherwise it is translated. The caller holds
// "ShaderTranslator".
int TranslateShader(zk_shader_t* shader, bool precompiled, const char* xml_text, bool reload);
// Hands the shader to the renderer, or queues it off the renderer thread.
bool LoadShaderInRenderer(zk_shader_t* shader, const ShaderTool::ShaderInfo& info,
                          const ShaderTool::ShaderCode& code);
// Loads a pooled ".xml" shader into the renderer again (renderer start).
bool ZKI_LoadShaderInRenderer(zk_shader_t* shader);
void ZKI_LoadQueuedShaderInRenderer(zk_shader_t* shader);
// The shader pass of the per-frame upload, on the renderer thread: the
// queued loads, then the replaced objects.
void ZKI_ProcessShaderResourceQueue();
// Frees the copy of a record that a reload replaced: its data at once, its
// renderer object at once where the renderer may be called, else at the
// next shader pass.
void ZKI_FreeReplacedShader(zk_shader_t* old);
// Frees the replaced renderer objects waiting (renderer thread; the shader
// pass and the renderer's shutdown).
void ZKI_FreeReplacedRendererShaders();
// A shader whose code is at hand (the built-in shaders): the Shader XML is
// read from xml_text and nothing is translated. An existing record of the
// name is returned as it is.
zk_shader_t* ZKI_LoadShaderWithPreCompiledCode(const char* name, const char* xml_text,
                                               const ShaderTool::ShaderCode& code);
