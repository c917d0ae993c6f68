// The back ends that start-up, the frame and the extension call drive: the
// input implementations. The renderer and sound back ends belong to the
// media layer (engine/render/renderer_implementation.h and
// engine/sound/sound_implementation.h).
#pragma once

#include "engine/runtime/state.h"
#include "engine/runtime/zekar.h"

// An input implementation; none exists in this program.
class InputImplementation {
public:
    virtual ~InputImplementation() {}
    virtual void Initialize(zk_state_t* state) = 0;
    virtual const char* CallExtension(const char* name, const char* value) = 0;
    virtual void ActivateWindow(bool active) = 0;
    // The frame's start (advancing) and end; nothing by default.
    virtual void Update() {}
    virtual void FrameReady() {}
};
