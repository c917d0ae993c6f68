// Re-initialising the renderer with new screen parameters, and the default
// render states.

#include "engine/screen/reinitialization.h"

#include "engine/drawing/batch_renderer.h"
#include "engine/drawing/graphics_state.h"
#include "engine/render/renderer_implementation.h"
#include "engine/screen/renderer_interface.h"
#include "engine/screen/screen_transforms.h"
#include "engine/sound/sound_implementation.h"
#include "engine/sound/sound_manager.h"
#include "engine/events/events.h"
#include "engine/runtime/log.h"
#include "engine/runtime/screen.h"
#include "engine/runtime/state.h"
#include "platform/macos/device/device.h"

namespace {

const zk_blend_mode_t kAlphaBlend = 1;
const int kDepthFunctionLessOrEqual = 3;

void TellProgramRendererPhase(int phase) {
    zk_event_t event = ZKI_MakeEvent(zk_renderer_reinit_event_t{ZK_EVENT_RENDERER_REINIT, phase});
    ZKI_SendEvent(&event);
}

void TellProgramScreenSize() {
    const zk_parms_t& own = ZKI_GetProgramParameters();
    zk_event_t event = ZKI_MakeEvent(
        zk_screen_size_event_t{ZK_EVENT_SCREEN_SIZE, static_cast<uint16_t>(own.width), static_cast<uint16_t>(own.height)});
    ZKI_SendEvent(&event);
}

// The running parameters and the program take the applied size and mode; so
// does the device, unless its resolution is fixed.
void TakeAppliedParameters() {
    const zk_parms_t& applied = zk_state.parms;
    zk_parms.width = applied.width;
    zk_parms.height = applied.height;
    zk_parms.windowed = applied.windowed;
    zk_prog_t* program = ZKI_GetProgramRecord();
    if (program) {
        program->parms.width = applied.width;
        program->parms.height = applied.height;
        program->parms.windowed = applied.windowed;
    }
    if (zk_device_info.fixed_resolution) return;
    zk_device_info.screen_width = zk_state.screen_width = applied.width;
    zk_device_info.screen_height = zk_state.screen_height = applied.height;
}

// The quick way while nothing can take a bitmap or a sound; otherwise the
// renderer goes down and comes up again.
void ReinitializeRendererItself() {
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_GET_SOUND);
    const zk_parms_t& wanted = zk_state.parms;
    if (ri->AttemptReinitialize(wanted.width, wanted.height, wanted.windowed != 0)) {
        TakeAppliedParameters();
        ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_SOUND);
        ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
        return;
    }
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_SOUND);
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_GET_BITMAP);
    ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Unable to do quick reinit. Doing full shutdown and init.");
    ZKI_ShutdownRendImp();
    ZKID_DestroyWindow();
    TakeAppliedParameters();
    ZKI_InitRendImp();
}

// What the program left behind belongs to the old screen.
void ResetDrawingDefaults() {
    zk_graphics_api_t* g = zk->graphics;
    ZKI_ResetKeyboardKeyStates();
    zk_batch_renderer.SetDefaultRenderStates();
    g->ZK_Graphics_PushProjectionTransform(nullptr);
    g->ZK_Graphics_PopProjectionTransform();
    zk_graphics_api_t::RenderTargets screen = {};
    g->ZK_Graphics_PushRenderTargets(&screen);
    g->ZK_Graphics_PopRenderTarget();
}

void ReinitializeSound() {
    SoundImplementation* sound = zk_state.sound_imp;
    if (!sound) return;
    sound->AttemptReinitialize(&zk_state, &zk_parms);
    sound->SetMasterVolume(zk_sound_imp_man.master_volume);
}

}  // namespace

void ZKI_ReInitRenderer() {
    if (!ri) return;
    TellProgramRendererPhase(0);
    ReinitializeRendererItself();
    ZKI_SetupAutoscaling();
    ZKI_UpdateOverlayZoom();
    ResetDrawingDefaults();
    ReinitializeSound();
    TellProgramRendererPhase(1);
    TellProgramScreenSize();
}

void ZKI_SetDefaultStates() {
    zk_graphics_api_t* g = zk->graphics;
    g->ZK_Graphics_SetShader(nullptr);
    g->ZK_Graphics_SetAlpha(1.0f);
    g->ZK_Graphics_SetColor(1.0f, 1.0f, 1.0f);
    g->ZK_Graphics_SetBlend(kAlphaBlend);
    g->ZK_Graphics_SetRenderStatei(ZK_RENDER_STATE_CULL_MODE, 0);
    g->ZK_Graphics_SetRenderStateb(ZK_RENDER_STATE_DEPTH_TEST, false);
    g->ZK_Graphics_SetRenderStatei(ZK_RENDER_STATE_DEPTH_FUNCTION, kDepthFunctionLessOrEqual);
    g->ZK_Graphics_SetRenderStateb(ZK_RENDER_STATE_DEPTH_WRITE, false);
    g->ZK_Graphics_SetTextTransform(1.0f, 1.0f, 0.0f);
    g->ZK_Graphics_SetTextboxWidth(0.0f);
    g->ZK_Graphics_SetTextAlign(0u);
}
