// The back ends that start-up, the frame and the extension call drive: a
// renderer and input implementations. The media layer provides the real
// renderer through zk_media (registration.h); until then the null renderer
// of the defaults runs. The sound back end lives in the media layer
// (engine/media/sound_implementation.h).
#pragma once

#include "engine/base/narray.h"
#include "engine/runtime/state.h"
#include "engine/runtime/zekar.h"

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

// An input implementation; none exists in this program.
class InputImplementation {
public:
    virtual ~InputImplementation() {}
    virtual void Initialize(zk_state_t* state) = 0;
    virtual const char* CallExtension(const char* name, const char* value) = 0;
    virtual void ActivateWindow(bool active) = 0;
};
