// The back ends that start-up, the frame and the extension call drive: a
// sound back end and input implementations (the renderer back end belongs
// to the media layer, engine/media/renderer_implementation.h). The media
// layer provides the real sound back end through zk_media (registration.h);
// until then the null sound back end of the defaults runs.
#pragma once

#include "engine/runtime/state.h"
#include "engine/runtime/zekar.h"

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
