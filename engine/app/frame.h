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
// The program draws through the graphics sub-table (zk->graphics); the
// frame itself calls the renderer, the batch renderer, the sound and input
// back ends, the extension modules and the screen steps directly.
#pragma once

#include <cstdint>

#include "engine/runtime/zekar.h"

// The clock the frame is timed with: the engine clock in milliseconds and
// its sleep (ZKT_GetTime and ZKT_Sleep while null). Tests set their own.
struct zk_frame_clock_t {
    int64_t (*GetTime)();
    void (*Sleep)(int milliseconds);
};
extern zk_frame_clock_t zk_frame_clock;

void ZKI_Frame();
// Writes zk_state_t::frame_time_delta: the time since the previous frame,
// waiting for the program's minimum frame time; over 0.2 s becomes 1/33 s,
// a clock gone back 0.001 s.
void ZKI_DetermineFrameTimeDelta();
// Forgets the previous frame time (the next frame starts timing afresh).
void ZKI_ResetFrameTime();
void ZKI_UpdateInterfaceOrientationRotation(float dt);
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
