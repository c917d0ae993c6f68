// Loading shaders: precompiled outputs, run-time translation, the hand-over
// to the renderer and the queue of loads for the renderer thread.

#include <climits>
#include <cstring>
#include <initializer_list>

#include "engine/base/file_names.h"
#include "engine/base/nstring.h"
#include "engine/render/renderer_implementation.h"
#include "engine/render/resource_queues.h"
#include "engine/shaders/run_time_shaders.h"
#include "engine/runtime/interface_functions.h"
#include "engine/runtime/state.h"
#include "engine/storage/settings.h"
#include "shadertool/translate/output_paths.h"
#include "shadertool/translate/translator_driver.h"

nArray<QueuedShaderData> queued_shader_data;
nArray<zk_shader_t> replaced_renderer_shaders;
zk_mutex_t* shader_translator_mutex = nullptr;

namespace {

const char kPrecompiledDirectory[] = "shaders/";
const char kDebugOutputDirectory[] = "user://shaders";

// What reading the precompiled stage files found.
enum PrecompiledState { PRECOMPILED_BROKEN = -1, PRECOMPILED_ABSENT = 0, PRECOMPILED_PRESENT = 1 };

bool BeginsWith(const char* text, const char* prefix) {
    return text && strncmp(text, prefix, strlen(prefix)) == 0;
}

// The name after "shaders/" without its extension (a dot after the last
// slash).
nString PrecompiledBasePath(const char* name) {
    nString base(name + strlen(kPrecompiledDirectory));
    const char* text = base.c_str();
    const char* extension = nPathExtension(text);
    if (extension) base = base.Substring(0, static_cast<int>(extension - 1 - text));
    return base;
}

// Reads one stage file whole into the code buffer; a text gets its NUL.
PrecompiledState ReadStageFile(const nString& path, bool binary, nByteBuffer& code) {
    zk_file_system_api_t* files = zk->file_system;
    zk_file_t* file = files->ZK_FileSystem_OpenFile(path.c_str(), "r");
    if (!file) return PRECOMPILED_ABSENT;
    // An empty file is no output of the shader tool.
    if (file->size <= 0) {
        files->ZK_FileSystem_CloseFile(file);
        return PRECOMPILED_ABSENT;
    }
    bool whole = false;
    if (file->size < INT_MAX) {
        int size = static_cast<int>(file->size);
        uint8_t* bytes = new uint8_t[static_cast<size_t>(size)];
        size_t read = files->ZK_FileSystem_ReadFile(bytes, static_cast<size_t>(size), file);
        whole = read == static_cast<size_t>(size) && code.Append(bytes, size) && (binary || code.Append("", 1));
        delete[] bytes;
    }
    files->ZK_FileSystem_CloseFile(file);
    if (whole) return PRECOMPILED_PRESENT;
    zk->ZK_Popupf(ZK_MESSAGE_ERROR, "Failed to load shader: Failed to read shader code file '%s'.", path.c_str());
    return PRECOMPILED_BROKEN;
}

// The shader tool's outputs of the name for the renderer's target and
// level, when the name lies under "shaders/".
PrecompiledState ReadPrecompiledCode(const char* name, ShaderTool::ShaderCode& code) {
    if (!BeginsWith(name, kPrecompiledDirectory)) return PRECOMPILED_ABSENT;
    bool binary = ri->UsesBinaryShaders();
    nString base = PrecompiledBasePath(name);
    int target = ri->GetShaderTarget();
    int level = ri->GetShaderLevel();
    for (ShaderTool::ShaderType stage : {ShaderTool::VERTEX_SHADER, ShaderTool::PIXEL_SHADER}) {
        nString path = ShaderTool::GetOutputFilePath(kPrecompiledDirectory, target, binary ? "bin/" : "",
                                                     base.c_str(), level, stage);
        PrecompiledState state = ReadStageFile(path, binary, code.GetBuffer(stage));
        if (state != PRECOMPILED_PRESENT) return state;
    }
    return PRECOMPILED_PRESENT;
}

// The popup of a failed translation; the user may ask to retry.
int ReportTranslationFailure(const char* name, const nString& log) {
    nString text = nString::Format("Failed to translate shader '%s':\n%s", name, log.c_str());
    const int kRetry = 3;
    return zk->ZK_Popupf(ZK_MESSAGE_ERROR, "%s", text.c_str()) == kRetry ? ZK_SHADER_LOAD_AGAIN
                                                                          : ZK_SHADER_LOAD_FAILED;
}

}  // namespace

// --- Translator ---------------------------------------------------------------

bool ZKI_InitializeShaderTranslator() {
    shader_translator_mutex = zk->ZK_GetMutex("ShaderTranslator");
    nString directory;
    bool developer = zk->ZKI_IsDeveloperModeEnabled();
    if (developer) {
        const char* debug = ZKI_GetDeveloperValue("debug_shaders");
        // Without the folder every translation would fail to write there.
        if (debug && (debug[0] == 't' || debug[0] == '1') &&
            zk->file_system->ZK_FileSystem_CreateDirectory(kDebugOutputDirectory))
            directory = kDebugOutputDirectory;
    }
    int target = ri ? ri->GetShaderTarget() : 0;
    zk->ZK_LockMutex(shader_translator_mutex);
    shader_translator_driver.Initialize(target, directory, developer);
    zk->ZK_UnlockMutex(shader_translator_mutex);
    return true;
}

void ZKI_ForgetRunTimeShaders() {
    // The mutex goes with the registry of the state it came from, the
    // queued loads name that state's records, and the replaced objects
    // belonged to its renderer.
    shader_translator_mutex = nullptr;
    delete[] queued_shader_data.items;
    queued_shader_data.items = nullptr;
    queued_shader_data.count = queued_shader_data.capacity = 0;
    replaced_renderer_shaders.count = 0;
}

void ZKI_DeinitializeShaderTranslator() {
    zk_mutex_t* mutex = shader_translator_mutex;
    shader_translator_mutex = nullptr;
    zk->ZK_ReleaseMutex(mutex);
}

// --- Loading --------------------------------------------------------------------

int TranslateShader(zk_shader_t* shader, bool precompiled, const char* xml_text, bool reload) {
    ShaderTool::TranslatorDriver& driver = shader_translator_driver;
    if (precompiled) return driver.ReadShaderXML(shader->name, xml_text, reload, true) ? 0 : 1;
    ShaderTool::TranslatorDriver::Options options;
    options.level_mask = ri->GetShaderLevel();
    options.target_mask = ri->GetShaderTarget();
    options.reference_time = shader->source_time;
    options.compile = ri->UsesBinaryShaders();
    int previous_time = shader->source_time;
    bool translated = driver.Translate(shader->name, options, reload);
    shader->source_time = driver.GetNewestSourceTime();
    if (translated && shader->source_time >= 1 && shader->source_time <= previous_time)
        return ZK_SHADER_LOAD_UNCHANGED;
    return translated ? ZK_SHADER_LOAD_DONE : ZK_SHADER_LOAD_FAILED;
}

int LoadShader(zk_shader_t* shader, bool initialize_data, bool reload) {
    if (!shader || !shader->name || !ri) return ZK_SHADER_LOAD_FAILED;
    ShaderTool::ShaderCode precompiled_code;
    PrecompiledState precompiled = ReadPrecompiledCode(shader->name, precompiled_code);

    ShaderTool::TranslatorDriver& driver = shader_translator_driver;
    int result = ZK_SHADER_LOAD_FAILED;
    nString log;
    zk->ZK_LockMutex(shader_translator_mutex);
    if (precompiled != PRECOMPILED_BROKEN) {
        result = TranslateShader(shader, precompiled == PRECOMPILED_PRESENT, nullptr, reload);
        if (result == ZK_SHADER_LOAD_DONE) {
            const ShaderTool::ShaderInfo& info = driver.GetShaderInfo();
            if (initialize_data) InitializeShaderData(shader, info);
            const ShaderTool::ShaderCode& code =
                precompiled == PRECOMPILED_PRESENT ? precompiled_code : driver.GetTranslatedCode();
            if (!LoadShaderInRenderer(shader, info, code)) result = ZK_SHADER_LOAD_FAILED;
        } else if (result == ZK_SHADER_LOAD_FAILED) {
            log = driver.GetMasterLog().GetText();
        }
    }
    driver.Reset();
    zk->ZK_UnlockMutex(shader_translator_mutex);

    if (result == ZK_SHADER_LOAD_UNCHANGED) return result;
    if (!log.IsEmpty()) return ReportTranslationFailure(shader->name, log);
    return result;
}

bool LoadShaderInRenderer(zk_shader_t* shader, const ShaderTool::ShaderInfo& info,
                          const ShaderTool::ShaderCode& code) {
    if (ZKI_IsRendererThread() || ZKI_RendererAllowsAnyThread(ZK_RENDERER_THREAD_SAFE_SHADERS)) {
        bool loaded = ri && ri->LoadShader(shader, info, code);
        if (!loaded) zk->ZK_Popupf(ZK_MESSAGE_ERROR, "Failed to load shader '%s' in renderer.", shader->name);
        if (loaded) {
            shader->flags |= ZK_SHADER_LOADED;
        } else {
            shader->flags &= static_cast<uint8_t>(~ZK_SHADER_LOADED);
        }
        return loaded;
    }
    ZK_ResourceQueueLock lock;
    // The load queued first is the one the renderer gets.
    if (ZKI_IsQueued(zk_state.shader_load_queue, shader)) return true;
    zk_state.shader_load_queue.InsertLast(shader);
    QueuedShaderData entry;
    entry.shader = shader;
    entry.code = code;
    entry.info = info;
    queued_shader_data.InsertLast(entry);
    return true;
}

void ZKI_LoadQueuedShaderInRenderer(zk_shader_t* shader) {
    QueuedShaderData entry;
    bool found = false;
    {
        ZK_ResourceQueueLock lock;
        for (int i = 0; i < queued_shader_data.count; ++i) {
            if (queued_shader_data[i].shader != shader) continue;
            entry = queued_shader_data[i];
            queued_shader_data.RemoveItemAtIndex(i);
            found = true;
            break;
        }
    }
    if (found) LoadShaderInRenderer(shader, entry.info, entry.code);
}

void ZKI_ProcessShaderResourceQueue() {
    nArray<zk_shader_t*> queued;
    {
        ZK_ResourceQueueLock lock;
        queued = zk_state.shader_load_queue;
    }
    for (int i = 0; i < queued.count; ++i) {
        ZKI_LoadQueuedShaderInRenderer(queued[i]);
        ZK_ResourceQueueLock lock;
        zk_state.shader_load_queue.RemoveItem(queued[i]);
    }
    ZKI_FreeReplacedRendererShaders();
}

void ZKI_FreeReplacedShader(zk_shader_t* old) {
    if (!old) return;
    if (old->renderer_shader) {
        if (ZKI_IsRendererThread() || ZKI_RendererAllowsAnyThread(ZK_RENDERER_THREAD_SAFE_SHADERS)) {
            ZKI_FreeShaderInRenderer(old);
        } else {
            // The renderer gets a record that holds the object and nothing
            // the copy is about to free.
            zk_shader_t object = {};
            object.kind = old->kind;
            object.index = old->index;
            object.renderer_shader = old->renderer_shader;
            object.flags = ZK_SHADER_LOADED;
            ZK_ResourceQueueLock lock;
            replaced_renderer_shaders.InsertLast(object);
            old->renderer_shader = nullptr;
            old->flags &= static_cast<uint8_t>(~ZK_SHADER_LOADED);
        }
    }
    ResetShader(old, false);
}

void ZKI_FreeReplacedRendererShaders() {
    nArray<zk_shader_t> replaced;
    {
        ZK_ResourceQueueLock lock;
        if (replaced_renderer_shaders.count == 0) return;
        replaced = replaced_renderer_shaders;
        replaced_renderer_shaders.count = 0;
    }
    for (int i = 0; i < replaced.count; ++i) ZKI_FreeShaderInRenderer(&replaced[i]);
}

bool ZKI_LoadShaderInRenderer(zk_shader_t* shader) {
    const char* name = shader ? shader->name : nullptr;
    if (!nStringEndsWith(name, ".xml")) return true;
    // The renderer lost its object, not the sources: the source time is
    // forgotten, or unchanged sources would leave the shader out of the
    // renderer.
    shader->source_time = 0;
    return LoadShader(shader, false, false) == ZK_SHADER_LOAD_DONE;
}

zk_shader_t* ZKI_LoadShaderWithPreCompiledCode(const char* name, const char* xml_text,
                                               const ShaderTool::ShaderCode& code) {
    bool existed = false;
    zk_shader_t* shader = GetAndInitializeShader(name, existed);
    if (!shader || existed) return shader;

    ShaderTool::TranslatorDriver& driver = shader_translator_driver;
    bool loaded = false;
    nString log;
    zk->ZK_LockMutex(shader_translator_mutex);
    if (TranslateShader(shader, true, xml_text, false) == ZK_SHADER_LOAD_DONE) {
        InitializeShaderData(shader, driver.GetShaderInfo());
        loaded = LoadShaderInRenderer(shader, driver.GetShaderInfo(), code);
    } else {
        log = driver.GetMasterLog().GetText();
    }
    driver.Reset();
    zk->ZK_UnlockMutex(shader_translator_mutex);

    if (!log.IsEmpty()) ReportTranslationFailure(shader->name, log);
    if (!loaded) ResetShader(shader, false);
    return shader;
}
