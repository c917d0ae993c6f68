// The frame step, re-initialisation requests and queued popups.

#include "engine/app/frame.h"

#include <cmath>
#include <cstdlib>

#include "engine/sound/audio_api.h"
#include "engine/drawing/batch_renderer.h"
#include "engine/screen/diagnostics.h"
#include "engine/fonts/fonts.h"
#include "engine/screen/reinitialization.h"
#include "engine/drawing/render_targets.h"
#include "engine/render/renderer_implementation.h"
#include "engine/screen/renderer_interface.h"
#include "engine/render/resource_queues.h"
#include "engine/screen/screen_transforms.h"
#include "engine/screen/upload_pass.h"
#include "engine/sound/sound_implementation.h"
#include "engine/sound/sound_manager.h"
#include "engine/runtime/backends.h"
#include "engine/runtime/basic_functions.h"
#include "engine/events/events.h"
#include "engine/runtime/log.h"
#include "engine/runtime/media_records.h"
#include "engine/runtime/screen.h"
#include "engine/runtime/state.h"
#include "engine/drawing/graphics_state.h"
#include "engine/runtime/threads.h"
#include "engine/services/extension_modules.h"
#include "platform/macos/device/platform.h"

zk_frame_clock_t zk_frame_clock = {nullptr, nullptr};

namespace {

const float kLongestStep = 0.2f;
const float kStepAfterAGap = 1.0f / 33.0f;
const float kStepAfterClockWentBack = 0.001f;
const int kSmallestFullscreenWidth = 640;
const int kSmallestFullscreenHeight = 480;
const int kTransformedFrameBufferFormat = 8;
const char* const kTransformedFrameBufferName = "TRANSFORMED_FRAME_BUFFER";

// Frame-time statics: the previous frame's clock reading.
bool have_previous_frame_time = false;
int64_t previous_frame_time = 0;

int64_t FrameClock() { return zk_frame_clock.GetTime ? zk_frame_clock.GetTime() : ZKT_GetTime(); }

void FrameSleep(int milliseconds) {
    if (zk_frame_clock.Sleep)
        zk_frame_clock.Sleep(milliseconds);
    else
        ZKT_Sleep(milliseconds);
}

// The input implementations, in their order.
template <class Operation>
void ForEachInput(Operation operation) {
    for (int i = 0; i < zk_state.num_input_imps; ++i) {
        if (zk_state.input_imps[i]) operation(zk_state.input_imps[i]);
    }
}

const zk_parms_t& ProgramParameters() { return zk_prog ? zk_prog->parms : zk_parms; }

zk_graphics_api_t* Graphics() { return zk ? zk->graphics : nullptr; }

}  // namespace

// --- Time step -----------------------------------------------------------------------

void ZKI_ResetFrameTime() {
    have_previous_frame_time = false;
    previous_frame_time = 0;
}

void ZKI_DetermineFrameTimeDelta() {
    if (!have_previous_frame_time) {
        previous_frame_time = FrameClock();
        have_previous_frame_time = true;
    }
    const zk_parms_t& parms = ProgramParameters();
    int64_t minimum = parms.min_frame_time_ms;
    int64_t current = FrameClock();
    int64_t delta = current - previous_frame_time;
    // Sleep in 1 ms steps until 2 ms before the minimum, then spin on the
    // clock. A clock that went back ends the wait: it would last as long as
    // the clock went back.
    while (delta >= 0 && delta < minimum) {
        if (delta < minimum - 2) FrameSleep(1);
        current = FrameClock();
        delta = current - previous_frame_time;
    }
    previous_frame_time = current;
    float step = static_cast<float>(delta) * 0.001f;
    if (step > kLongestStep) step = kStepAfterAGap;
    if (step < 0.0f) {
        if (parms.developer_mode)
            ZK_PrintDebugf(ZK_MESSAGE_WARNING, "Found negative time delta in ZKI_DetermineFrameTimeDelta: %g",
                           static_cast<double>(step));
        step = kStepAfterClockWentBack;
    }
    zk_state.frame_time_delta = step;
}

// --- Orientation -------------------------------------------------------------------------

void ZKI_UpdateInterfaceOrientationRotation(float dt) {
    if (zk_state.target_orientation == zk_state.interface_orientation) return;
    zk_state.orientation_transition_time += dt;
    if (zk_state.orientation_transition_time >= zk_state.orientation_transition_duration) {
        zk_state.orientation_transition_time = 0.0f;
        zk_state.interface_orientation = zk_state.target_orientation;
    }
}

// --- Text and colour state ------------------------------------------------------------------

void ZKI_ResetTextAndColorState() {
    zk_graphics_api_t* g = Graphics();
    if (!g) return;
    g->ZK_Graphics_SetTextTransform(1.0f, 1.0f, 0.0f);
    g->ZK_Graphics_SetTextAlign(0u);
    g->ZK_Graphics_SetAlpha(1.0f);
    g->ZK_Graphics_SetColor(1.0f, 1.0f, 1.0f);
    g->ZK_Graphics_SetBlend(1);
}

void ZKI_BatchRendererFrameReady() {
    ZKI_ResetTextAndColorState();
    zk_batch_renderer.FrameReady();
}

void ZKI_CustomFrame(float /*dt*/) {
    if (zk_state.developer_mode && ZKI_ProductFeatureExists("DRAW_SOUND_CHANNELS"))
        zk_sound_imp_man.DrawSoundBanks();
}

void ZKI_DrawMinimizedPlaceholder() {}

// --- One pass per eye ---------------------------------------------------------------------------

// Creates or resizes the transformed frame buffer and draws into it.
static void PushTransformedFrameBuffer(zk_graphics_api_t* g) {
    int width = zk_device_info.screen_width, height = zk_device_info.screen_height;
    zk_bitmap_t*& buffer = zk_state.transformed_frame_buffer;
    if (!buffer) {
        zk_bitmap_parameters_t parameters = {};
        parameters.format = kTransformedFrameBufferFormat;
        parameters.type = 1;  // 2D
        parameters.renderer_hint = 1;
        parameters.depth = 1;
        parameters.width = width;
        parameters.height = height;
        parameters.render_target = 1;
        buffer = g->ZK_Graphics_CreateBitmap(kTransformedFrameBufferName, &parameters);
    } else {
        g->ZK_Graphics_ResizeBitmap(buffer, width, height);
    }
    g->ZK_Graphics_PushRenderTarget(buffer);
}

static void PopTransformedFrameBuffer(zk_graphics_api_t* g) {
    g->ZK_Graphics_PopRenderTarget();
    g->ZK_Graphics_ClearScreen(0.0f, 0.0f, 0.0f);
    if (zk_state.transformed_frame_buffer) g->ZK_Graphics_DrawBitmap(zk_state.transformed_frame_buffer, 0.0f, 0.0f);
}

// The program's Init once (the frame goes on when it fails), a pending
// re-initialisation, the queued events, then Update.
static void RunProgramStep(float dt, int ms) {
    if (!zk_state.prog_initialized) {
        ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Initializing Program '%s'..", zk_prog->title);
        zk_state.prog_initialized = 1;
        bool started = zk_prog->Init ? zk_prog->Init() : true;
        if (started)
            ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Program initialization OK. Running program.");
        else
            zk->ZK_Popupf(ZK_MESSAGE_ERROR, "Program initialization failed.");
    }
    if (zk_state.reinit_requested) {
        zk_batch_renderer.Flush();
        ZKI_HandleReinitializationRequest();
    }
    ZKI_ProcessEventQueue();
    if (ms > 0 && zk_prog->Update) zk_prog->Update(dt);
}

// Draw, then one report per stack the program left unbalanced.
static void RunProgramDraw(float dt) {
    int world = zk_state.world_transform_top;
    int view = zk_state.view_transform_top;
    int projection = zk_state.projection_transform_top;
    int targets = zk_state.render_target_stack.count;
    if (zk_state.debug_draw_black_screen)
        Graphics()->ZK_Graphics_ClearScreen(0.0f, 0.0f, 0.0f);
    else if (zk_prog->Draw)
        zk_prog->Draw(dt);
    if (zk_state.debug_draw_time_delta_test) zk_framerate_tester.UpdateAndDraw(dt);
    if (zk_state.world_transform_top != world)
        zk->ZK_Popupf(ZK_MESSAGE_ERROR, "Too many Push(World)Transform calls made. Check your code.");
    if (zk_state.view_transform_top != view)
        zk->ZK_Popupf(ZK_MESSAGE_ERROR, "Too many PushViewTransform calls made. Check your code.");
    if (zk_state.projection_transform_top != projection)
        zk->ZK_Popupf(ZK_MESSAGE_ERROR, "Too many PushProjectionTransform calls made. Check your code.");
    if (zk_state.render_target_stack.count != targets)
        zk->ZK_Popupf(ZK_MESSAGE_ERROR, "Too many PushRenderTarget(s) calls made. Check your code.");
}

static void RenderPass(int pass, float dt, int ms) {
    zk_graphics_api_t* g = Graphics();
    zk_state.eye_mode = zk_state.render_stereo ? pass + 1 : 0;
    ZKI_InvalidateRenderStates();
    ri->FrameStart(zk_state.eye_mode);
    ri->SetViewport(0, 0, zk_device_info.screen_width, zk_device_info.screen_height, 0.0f, 1.0f);
    zk_batch_renderer.BeginPass();
    ri->DrawAtStartOfFrame();

    ZKI_UpdateScreenTransforms(dt);
    // The screen is the render-target stack's first entry, which the
    // program's pops never remove; its identity world transform lies under
    // the screen transform.
    zk_graphics_api_t::RenderTargets screen = {};
    g->ZK_Graphics_PushRenderTargets(&screen);
    ZKI_PushScreenTransforms();
    bool zoomed = ZKI_IsOverlayZoomSet();
    if (zoomed) PushTransformedFrameBuffer(g);

    if (pass == 0) RunProgramStep(dt, ms);
    if (ri->IsReadyToRender()) RunProgramDraw(dt);

    ZKI_SetDefaultStates();
    ZKI_CustomFrame(dt);
    if (zoomed) PopTransformedFrameBuffer(g);
    ZKI_DrawScreenBorderRectangles();
    g->ZK_Graphics_PopWorldTransform();
    g->ZK_Graphics_SetDepthDefault(zk_state.depth_range[1]);
    ri->DrawAtEndOfFrame();

    ZKI_ResetTextAndColorState();
    ZKI_UpdateAndDrawHUDs(dt);
    // Every stack ends the pass as it began.
    ZKI_PopScreenRenderTarget();
}

// Steps 4 to 11: everything that needs the renderer.
static void RunRenderedFrame() {
    // Update and Draw see whole milliseconds.
    int ms = static_cast<int>(zk_state.frame_time_delta * 1000.0f);
    float dt = static_cast<float>(ms) * 0.001f;
    ForEachInput([](InputImplementation* input) { input->Update(); });
    if (zk_state.sound_imp) zk_state.sound_imp->FrameStart();
    zk_sound_imp_man.Update();
    if (ZK_ShouldPauseFrameTimeBecauseOfExtension()) dt = 0.0f;
    ZK_UpdateExtensionModules(dt);
    ZKI_UpdateInterfaceOrientationRotation(dt);

    int passes = zk_state.render_stereo ? 2 : 1;
    for (int pass = 0; pass < passes; ++pass) RenderPass(pass, dt, ms);

    if (zk_state.initialized && ri && zk_state.renderer_initialized) ZKI_UpdateResourceQueues();
    if (zk_state.sound_imp) zk_state.sound_imp->FrameReady();
    ZKI_BatchRendererFrameReady();
    ri->FrameReady();
    ForEachInput([](InputImplementation* input) { input->FrameReady(); });
}

// --- The frame ---------------------------------------------------------------------------------

void ZKI_Frame() {
    if (!zk_state.initialized || !zk_prog) return;
    ZKI_DetermineFrameTimeDelta();
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_MAIN_LOOP);
    if (ri && zk_state.renderer_initialized) RunRenderedFrame();

    // The gap in which a worker waiting in ZK_SynchronizeWithMainThreadBegin
    // takes the lock.
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_MAIN_LOOP);
    if (zk_state.main_thread_sync_requested) ZKT_Sleep(1);
    ZKI_LockCoreMutex(ZK_CORE_MUTEX_MAIN_LOOP);

    // The device may have changed size or orientation during the frame.
    ZKI_UpdateAutoscaling();
    ZKI_UpdateOverlayZoom();
    ZKI_HandlePopups();
    if (zk_state.view_transform_top >= 0)
        zk->ZK_Popupf(ZK_MESSAGE_WARNING,
                      "Transform stack is not empty at frame end: there are %d more zk->PushViewTransform calls "
                      "than zk->PopViewTransform calls.",
                      zk_state.view_transform_top + 1);
    ZKI_UnlockCoreMutex(ZK_CORE_MUTEX_MAIN_LOOP);
}

// --- Re-initialisation and popups ------------------------------------------------------------------

void ZKI_HandleReinitializationRequest() {
    if (!zk_state.reinit_requested) return;
    zk_state.reinit_requested = 0;
    zk_parms_t& requested = zk_state.parms;
    if (!requested.windowed &&
        (requested.width < kSmallestFullscreenWidth || requested.height < kSmallestFullscreenHeight)) {
        requested.windowed = 1;
        zk_parms.windowed = 1;
    }
    if (zk_parms.no_sound && !requested.no_sound) {
        // The restart takes the program's setting: give it the new one first.
        if (zk_prog) zk_prog->parms.no_sound = requested.no_sound;
        ZKI_ReInitSounds();
    }
    if (zk_state.has_platform_argument) return;
    if (zk_parms.width == requested.width && zk_parms.height == requested.height &&
        zk_parms.windowed == requested.windowed)
        return;
    ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Applying ReInit: %dx%d (%s) -> %dx%d (%s)", zk_parms.width, zk_parms.height,
                   zk_parms.windowed ? "w" : "fs", requested.width, requested.height, requested.windowed ? "w" : "fs");
    ZKI_ReInitRenderer();
}

void ZKI_HandlePopups() {
    if (!zk_state.initialized || ZKI_GetNumberOfQueuedPopups() == 0) return;
    nArray<ZK_ConsoleLine> popups;
    ZKI_TakeQueuedPopups(popups);
    // Shown outside PRINT, so that logging threads never wait on a popup.
    for (int i = 0; i < popups.count; ++i) ZKD_Popup(popups.items[i].type, popups.items[i].text);
    ZKI_FreeConsoleLines(popups);
}

bool ZKI_ValidateResources() {
    bool sound = true;
    for (int i = 0; i < zk_state.num_bitmaps && i < ZK_MAX_BITMAPS; ++i) {
        const zk_bitmap_t& bitmap = zk_state.bitmaps[i];
        if (bitmap.width >= 0 && bitmap.height >= 0) continue;
        ZK_Printf("Bitmap '%s' at index %d is broken.", bitmap.name ? bitmap.name : "", i);
        sound = false;
    }
    for (int i = 0; i < zk_state.num_sounds && i < ZK_MAX_SOUNDS; ++i) {
        if (zk_state.sounds[i].name) continue;
        ZK_Printf("Sound at index %d is broken (no name).", i);
        sound = false;
    }
    for (int i = 0; i < zk_state.num_fonts && i < ZK_MAX_FONTS; ++i) {
        if (zk_state.fonts[i].name) continue;
        ZK_Printf("Font at index %d is broken (no name).", i);
        sound = false;
    }
    return sound;
}

// --- Hibernation and unloading ----------------------------------------------------------------------

void ZKI_BeginHibernate() {
    ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "Begin Hibernate.");
    ZKI_ShutdownRendImp();
}

bool ZKI_EndHibernate() {
    ZK_PrintDebugf(ZK_MESSAGE_SYSTEM, "End Hibernate.");
    return ZKI_InitRendImp();
}

void ZKI_FreeFontsGPUResources() { zk_fonts_state.FreeGPUResources(); }

void ZKI_FinalShutdownRendImp() {
    ri = nullptr;
    zk_state.rend_imp = nullptr;
}

void ZKID_UnloadRendImp() { ri = nullptr; }
void ZKID_UnloadSoundImp() { zk_state.sound_imp = GetSoundImpNull(); }
void ZKID_UnloadProgImp() { zk_prog = nullptr; }
void ZKID_UnloadInputImps() {}

void ZKD_ShowPopup(int type, ZK_PopupType /*kind*/, const char* text) { zk->ZK_Popupf(type, "%s", text); }
