// The hooks of the renderer's steps, doing nothing until their parts fill
// them.

#include "engine/media/media_hooks.h"

#include "engine/runtime/registration.h"

#define ZK_NOTHING(member) zk_neutral<decltype(zk_media_hooks_t::member)>::Call

const zk_media_hooks_t zk_media_hooks_doing_nothing = {
    ZK_NOTHING(InitializeShaderTranslator),
    ZK_NOTHING(DeinitializeShaderTranslator),
    ZK_NOTHING(CallRendererToCreateBitmap),
    ZK_NOTHING(ReleaseBitmapHardwareData),
    ZK_NOTHING(CallRendererToFreeBitmap),
    ZK_NOTHING(RecreateFontAtlas),
    ZK_NOTHING(LoadShaderInRenderer),
    ZK_NOTHING(LoadFontsGPUResources),
    ZK_NOTHING(FreeFontsGPUResources),
    ZK_NOTHING(InitializeBatchRenderer),
    ZK_NOTHING(FreeBatchRenderer),
    ZK_NOTHING(ProcessBitmapResourceQueues),
    ZK_NOTHING(ProcessShaderResourceQueue),
    ZK_NOTHING(FreeReplacedRendererShaders),
    ZK_NOTHING(UploadQueuedFont),
    ZK_NOTHING(LoadDefaultShader),
    ZK_NOTHING(LoadDistanceFieldShader),
    ZK_NOTHING(UploadShaderConstants),
    ZK_NOTHING(FreeBatchShader),
};

zk_media_hooks_t zk_media_hooks = zk_media_hooks_doing_nothing;
