// The one seam between the runtime and the subsystems built on top of it.
//
// Start-up, the frame, the extension call and the interface table reach the
// platform's device services, the media layer and the services layer only
// through the four records below. Each record starts out holding neutral
// defaults (see registration.cpp): a step that does nothing, an answer of
// false, zero or null; there is no renderer and no sound back end until
// the media layer registers them.
//
// How a subsystem registers: it overwrites the members it provides, in a
// function of its own that it calls when it initialises, for example
//     void ZKM_RegisterMedia() {
//         zk_media.FillGraphicsInterface = ZKM_FillGraphicsInterface;
//         zk_frame_backend.BeginFrame = ...;
//     }
// and start-up (ZKI_StateSetup, engine/app) calls that function before it
// fills the interface table. A member it leaves alone keeps its default, so
// a subsystem can land in parts. Nothing here is chosen at link or configure
// time.
#pragma once

#include <pthread.h>

#include <cstdint>

#include "engine/base/ntransform.h"
#include "engine/base/types.h"
#include "engine/runtime/zekar.h"

class RendererImplementation;
class SoundImplementation;

// --- Device services of the platform layer ----------------------------------
struct zk_device_t {
    // The platform popup behind ZK_Popupf; 4 means "nothing shown".
    int (*Popup)(int type, const char* text);
    // Scheduling of engine threads; 0 on success.
    int (*SetThreadPrecedence)(pthread_t thread, int importance);
    int (*SetThreadFixedPolicy)(pthread_t thread);
};
extern zk_device_t zk_device;

// --- The media layer ---------------------------------------------------------
// A pair of colour setters for graphics slots 88 and 89.
struct zk_color_setters_t {
    void (*SetColor)(const float& r, const float& g, const float& b);
    void (*SetColorWithAlpha)(const float& r, const float& g, const float& b, const float& a);
};

struct zk_media_t {
    // Renderer: the null renderer; making one current when there is none
    // (which fills the table again, for the colour setters); initialising
    // the current one (false when it cannot be); telling the current one
    // (if any) that the application became active or resigned; whether it
    // can show a size (false without one); the run's resolution; screen
    // fitting; fonts; the image loader (stored in zk_il).
    RendererImplementation* (*GetRendImpNull)();
    bool (*LoadRendImp)();
    bool (*InitRendImp)();
    void (*ActivateRendererWindow)(bool active);
    bool (*IsResolutionSupportedByRenderer)(int width, int height);
    bool (*SelectOptimalResolution)(bool windowed, bool forcing);
    void (*SetupAutoscaling)();
    void (*InitializeFonts)();
    bool (*InitImageLoader)();

    // Sound: the null back end (null until the media layer registers),
    // installing one in the sound manager, the manager's master volume, and
    // telling the current back end that the application became active or
    // resigned.
    SoundImplementation* (*GetSoundImpNull)();
    void (*ResetSoundManager)(SoundImplementation* imp);
    float (*GetSoundMasterVolume)();
    void (*ActivateSound)(bool active);

    // The media parts of the interface table: each filler fills its whole
    // sub-table; the table then takes the colour setters for the renderer's
    // vertex colour format into graphics slots 88 and 89.
    void (*FillGraphicsInterface)(zk_graphics_api_t* api);
    void (*FillAudioInterface)(zk_audio_api_t* api);
    void (*FillExtensionInterface)(zk_extension_api_t* api);
    zk_color_setters_t rgba;
    zk_color_setters_t bgra;

    // The platform's report that the screen it shows on has this size in
    // pixels (ZKI_SetDeviceScreenSize); nothing until the media layer
    // registers it.
    void (*SetDeviceScreenSize)(int width, int height);
};
extern zk_media_t zk_media;
// What zk_media holds until the media layer registers: a member still equal
// to its default is a part of the media layer that is not in place.
extern const zk_media_t zk_media_defaults;

// --- The frame's steps -------------------------------------------------------
// ZKI_Frame (engine/app) calls these; the media and services layers fill
// them. A member left null is a step skipped (a null CanDraw draws nothing).
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
    // The end of a pass: the screen entry the frame pushed on the render-
    // target stack goes, with the projection and world transforms pushed
    // with it.
    void (*PopScreenRenderTarget)() = nullptr;

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
    void (*UpdateResourceQueues)() = nullptr;           // the timed upload pass
    void (*ReInitSounds)() = nullptr;
    void (*ReInitRenderer)() = nullptr;
    void (*FreeFontsGPUResources)() = nullptr;
};
extern zk_frame_backend_t zk_frame_backend;

// Fills every slot of one sub-table with the neutral function of its type,
// as a sub-table nobody registered is filled; a filler of its own starts
// from here and sets the slots it provides.
template <class Table>
void ZKI_FillNeutralInterface(Table* api);

// The neutral function of a slot's type: does nothing and answers a
// value-initialised result (false, zero, null, an all-zero record). The
// defaults of the records above fill unregistered table parts with these.
template <class F>
struct zk_neutral;
template <class R, class... A>
struct zk_neutral<R (*)(A...)> {
    static R Call(A...) { return R(); }
};
template <class R, class... A>
struct zk_neutral<R (*)(A..., ...)> {
    static R Call(A..., ...) { return R(); }
};
