// What start-up, shutdown and the extension call ask of the renderer, sound,
// media and service layers.
//
// The core calls these names; the media subsystem (engine/media) and the
// services subsystem (engine/services) define them. Until they land, the
// stand-ins in engine/core/standins/backend_standins.cpp and
// engine/core/standins/extension_standins.cpp answer as the null renderer,
// the null sound back end and a program without extension modules do.
// The media work owns the two back-end classes below: it may move them into
// its own headers and extend them, keeping the operations the core calls.
#pragma once

#include "engine/core/narray.h"
#include "engine/core/state.h"
#include "engine/core/zekar.h"

// A renderer back end. In this program it is always the null renderer
// ("Null").
class RendererImplementation {
public:
    struct Resolution {
        int width;
        int height;
    };

    virtual ~RendererImplementation() {}
    virtual const char* GetName() = 0;
    virtual bool Initialize(zekar_t* table, zk_state_t* state, zk_parms_t* parms) = 0;
    virtual void Shutdown() = 0;
    virtual int GetMaximumTextureSize() = 0;
    virtual bool IsReadyToRender() = 0;
    virtual bool IsResolutionSupported(int width, int height) = 0;
    // Refills `supported_resolutions`; the null renderer leaves it empty.
    virtual void UpdateSupportedResolutions() = 0;
    // "WxH" pairs, ascending, joined by ","; null for an empty list. The
    // text belongs to the renderer and is rebuilt on each call.
    virtual const char* GetListOfSupportedResolutions() = 0;
    // Non-zero: B,G,R,A vertex colours.
    virtual int GetVertexColorFormat() = 0;
    // The renderer's own extension names; null for names it does not know.
    virtual const char* CallExtension(const char* name, const char* value) = 0;
    // The application became active (true) or resigned (false).
    virtual void ActivateWindow(bool active) = 0;

    nArray<Resolution> supported_resolutions;
};

// A sound back end. In this program it is always the null one.
class SoundImplementation {
public:
    virtual ~SoundImplementation() {}
    virtual const char* GetName() = 0;
    virtual bool Initialize(zk_state_t* state, zk_parms_t* parms) = 0;
    virtual void SetMasterVolume(float volume) = 0;
    virtual void ActivateWindow(bool active) = 0;
};

// An input implementation; none exists in this program.
class InputImplementation {
public:
    virtual ~InputImplementation() {}
    virtual void Initialize(zk_state_t* state) = 0;
    virtual const char* CallExtension(const char* name, const char* value) = 0;
    virtual void ActivateWindow(bool active) = 0;
};

// --- Renderer ----------------------------------------------------------------
// The current renderer `ri` (also zk_state_t::rend_imp) is declared in
// engine/core/state.h; null before start-up.
RendererImplementation* GetRendImpNull();
// When no renderer is current: logs "Loading renderer implementation...",
// makes the null renderer current and fills the interface table again.
// Always true.
bool ZKI_LoadRendImp();
// Initialises the current renderer; false when it cannot be initialised.
bool ZKI_InitRendImp();
// Chooses the run's width and height into zk_state_t::parms; false at once
// when the state has no supported-resolution text.
bool ZKI_SelectOptimalResolution(bool windowed, bool forcing);
// Screen fitting for the program's reference size (no scaling unless
// zk_state_t::autoscale is set).
void ZKI_SetupAutoscaling();
// Clears the fonts state's flag byte.
void ZKI_InitializeFonts();
// The platform id of the platform name `text` begins with; 0 for none.
int ZKI_GetPlatformIdFromString(const char* text);
// 4 (landscape) when the program's reference width exceeds its reference
// height, else 1.
int ZKI_GetProgramOrientation();
// Sets the overlay zoom and its offsets; a zoom that is not above 0 is
// refused and changes nothing.
void ZKI_SetOverlayZoom(float zoom);

// --- Image loader --------------------------------------------------------------
// zk_il (engine/core/state.h) holds the image loader singleton.
// Stores the image loader singleton in zk_il. Always true.
bool ZKID_InitImageLoader();

// --- Sound ---------------------------------------------------------------------
SoundImplementation* GetSoundImpNull();
// The sound manager's master volume (1.0 at start).
float ZKI_GetSoundMasterVolume();
// Zeroes the sound manager's banks and installs `imp` in it.
void ZKI_ResetSoundManager(SoundImplementation* imp);

// --- Extension modules and service mappings ----------------------------------------
// Creates, registers and initialises the extension modules.
void ZK_InitializeExtensionModules();
const char* ZKID_IAPExtensionMapping(const char* name, const char* value);
const char* ZKID_GameCenterExtensionMapping(const char* name, const char* value);
const char* ZK_CallExtensionModuleExtension(const char* name, const char* value);
int ZKID_TestExtension(const char* name, const char* value);

// --- Platform layer (platform/macos) ------------------------------------------------
const char* ZKD_CallExtension(const char* name, const char* value);
void ZKID_DetermineDeviceInfo(zk_device_info_t* info);
void ZKID_DestroyWindow();
void ZKID_InitCursors();
