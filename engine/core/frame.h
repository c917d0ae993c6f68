// The frame step, re-initialisation requests and queued popups.
//
// ZKI_Frame is one step of a running engine, called by the windowed
// application layer once per display refresh on the main thread (the
// command-line path never calls it). It measures the time step, lets input,
// sound and extension modules advance, runs the program's Init once and then
// its Update and Draw, reports unbalanced transform and render-target
// stacks, uploads queued resources and presents, and then opens a short gap
// in which a worker thread may take the main-loop lock.
//
// Drawing goes through the graphics sub-table (zk->graphics). The steps that
// belong to the renderer, the batch renderer, the sound and input back ends,
// the extension modules and the media helpers are reached through
// zk_frame_backend: the media and services subsystems fill its members when
// they install their back ends; a member left null is a step skipped (a
// null CanDraw draws nothing).
#pragma once

#include <cstdint>

#include "engine/core/zekar.h"

struct zk_frame_backend_t {
    // Frame timing: the engine clock in milliseconds and the sleep
    // (ZKT_GetTime and ZKT_Sleep while null).
    int64_t (*GetTime)() = nullptr;
    void (*Sleep)(int milliseconds) = nullptr;

    // The current renderer.
    void (*BeginFrame)(int eye_mode) = nullptr;
    void (*SetViewport)(int x, int y, int width, int height, float min_depth, float max_depth) = nullptr;
    void (*BeginScene)() = nullptr;
    bool (*CanDraw)() = nullptr;
    void (*EndScene)() = nullptr;
    void (*EndFrame)() = nullptr;                       // presents
    void (*ShutdownRenderer)() = nullptr;               // ZKI_ShutdownRendImp

    // The batch renderer: the start of a pass (in-frame flag, default render
    // states, vertex storage), a flush, and the end of the frame (flush,
    // hand back locked vertex storage, clear the in-frame flag).
    void (*BeginBatchPass)() = nullptr;
    void (*FlushBatch)() = nullptr;
    void (*FinishBatchFrame)() = nullptr;

    // Input implementations, the sound implementation with its manager, and
    // the extension modules (then the chosen implementations).
    void (*UpdateInputs)() = nullptr;
    void (*EndInputFrames)() = nullptr;
    void (*UpdateSound)() = nullptr;
    void (*EndSoundFrame)() = nullptr;
    bool (*ExtensionModulesPauseTime)() = nullptr;
    void (*UpdateExtensionModules)(float dt) = nullptr;

    // Media helpers.
    void (*InvalidateRenderStates)() = nullptr;
    void (*PushScreenTransforms)() = nullptr;
    void (*SetDefaultStates)() = nullptr;
    void (*DrawSoundBanks)() = nullptr;
    void (*DrawFramerateTester)(float dt) = nullptr;
    void (*DrawScreenBorderRectangles)() = nullptr;
    void (*UpdateAndDrawHUDs)(float dt) = nullptr;      // also updates and draws the console
    void (*ProcessBitmapResourceQueues)() = nullptr;
    void (*ProcessBufferResourceQueues)() = nullptr;
    void (*ProcessShaderResourceQueue)() = nullptr;
    void (*ReInitSounds)() = nullptr;
    void (*ReInitRenderer)() = nullptr;
    void (*FreeFontsGPUResources)() = nullptr;
};
extern zk_frame_backend_t zk_frame_backend;

void ZKI_Frame();
// Writes zk_state_t::frame_time_delta: the time since the previous frame,
// waiting for the program's minimum frame time; over 0.2 s becomes 1/33 s,
// a clock gone back 0.001 s.
void ZKI_DetermineFrameTimeDelta();
// Forgets the previous frame time (the next frame starts timing afresh).
void ZKI_ResetFrameTime();
void ZKI_UpdateInterfaceOrientationRotation(float dt);
// The interface rotation angle of an orientation, in degrees.
float ZKI_GetOrientationAngle(int orientation);
void ZKI_HandleReinitializationRequest();
// Shows the queued popups on the calling (main) thread.
void ZKI_HandlePopups();
// True when no pool entry is broken; each broken one is listed.
bool ZKI_ValidateResources();
// Text transform 1, 1, 0; text align 0; alpha 1; colour white; blend 1.
void ZKI_ResetTextAndColorState();
// End of frame of the batch renderer: the text and colour state reset, then
// the back end's flush and hand-back.
void ZKI_BatchRendererFrameReady();
// In developer mode with the feature "DRAW_SOUND_CHANNELS": the sound banks.
void ZKI_CustomFrame(float dt);
void ZKI_DrawMinimizedPlaceholder();

void ZKI_BeginHibernate();
bool ZKI_EndHibernate();
void ZKI_FreeFontsGPUResources();
void ZKI_FinalShutdownRendImp();
void ZKID_UnloadRendImp();
void ZKID_UnloadSoundImp();
void ZKID_UnloadProgImp();
void ZKID_UnloadInputImps();

typedef int ZK_PopupType;
// ZK_Popupf(type, "%s", text); the kind is not used.
void ZKD_ShowPopup(int type, ZK_PopupType kind, const char* text);
