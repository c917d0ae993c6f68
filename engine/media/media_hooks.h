// Steps of the renderer's start, shutdown and upload passes that belong to
// other parts of the media layer. Each hook starts out doing nothing (and
// answering false, which no caller acts on); the part that provides the
// step fills its hook when the media layer registers
// (media_registration.cpp).
#pragma once

#include "engine/runtime/media_records.h"

struct zk_media_hooks_t {
    // Takes the "ShaderTranslator" mutex and sets the run-time shader
    // translator up for the renderer's target (renderer start).
    bool (*InitializeShaderTranslator)();
    // Releases and forgets the "ShaderTranslator" mutex (renderer shutdown).
    void (*DeinitializeShaderTranslator)();
    // Creates a render-target bitmap in the renderer again (renderer start).
    bool (*CallRendererToCreateBitmap)(zk_bitmap_t* bitmap);
    // Releases a pooled bitmap's renderer data; called with the bitmap's
    // lock flag held (renderer shutdown).
    void (*ReleaseBitmapHardwareData)(zk_bitmap_t* bitmap);
    // Frees one texture in the renderer, warning off the renderer thread
    // (renderer shutdown, for font atlases).
    void (*CallRendererToFreeBitmap)(zk_bitmap_t::hw_data_t* hw);
    // Rebuilds a named font's glyph atlas (renderer start).
    bool (*RecreateFontAtlas)(zk_font_t* font);
    // Loads a pooled ".xml" shader into the renderer again (renderer start).
    bool (*LoadShaderInRenderer)(zk_shader_t* shader);
    // Uploads the fonts state's extension glyph pages (renderer start) and
    // frees them (renderer shutdown).
    void (*LoadFontsGPUResources)();
    void (*FreeFontsGPUResources)();
    // The batch renderer's part of the renderer start (states-applied flag,
    // default render states, default and distance-field shaders, default
    // bitmap, buffers) and of its shutdown (its assets).
    void (*InitializeBatchRenderer)();
    void (*FreeBatchRenderer)();
    // The bitmap and shader passes of the per-frame upload (the buffer pass
    // is ZKI_ProcessBufferResourceQueues).
    void (*ProcessBitmapResourceQueues)();
    void (*ProcessShaderResourceQueue)();
    // Frees the renderer objects that reloads off the renderer thread
    // replaced and the shader pass has not freed yet (renderer shutdown,
    // before the shaders of the pool are freed).
    void (*FreeReplacedRendererShaders)();
    // One entry of the font upload queue, on the renderer thread (the
    // bitmap pass takes at most 10 fonts a frame off the queue and calls it
    // for each): the font's atlas reaches the renderer and its glyphs take
    // the atlas's texture.
    void (*UploadQueuedFont)(zk_font_t* font);
    // The batch renderer's shaders: the built-in default and distance-field
    // shaders (renderer start; null when the renderer has none), the upload
    // of a loaded shader's changed constants before it draws, and the
    // release of the default shader at renderer shutdown (reset, freed in
    // the renderer, its slot freed under GET_SHADER).
    zk_shader_t* (*LoadDefaultShader)();
    zk_shader_t* (*LoadDistanceFieldShader)();
    void (*UploadShaderConstants)(zk_shader_t* shader);
    void (*FreeBatchShader)(zk_shader_t* shader);
};
extern zk_media_hooks_t zk_media_hooks;

// The hooks that do nothing, as zk_media_hooks starts out.
extern const zk_media_hooks_t zk_media_hooks_doing_nothing;
