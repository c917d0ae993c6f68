// Loading, starting and shutting down the renderer back end.
//
// No renderer -> loaded (ri set: ZKI_LoadRendImp, engine/app/startup.h, at
// pre-initialisation) -> initialised (zk_state.renderer_initialized: ZKI_InitRendImp) -> shut
// down (flag clear: ZKI_ShutdownRendImp) -> initialised again. The back end
// itself lives until the program ends. Main thread only.
#pragma once

#include "engine/runtime/zekar.h"

// The window hook: nothing to do here. True.
bool ZKI_CreateWindow();
// Starts (or restarts) the current back end with the state's width, height
// and windowed flag (windowed below 640x480) and brings every resource back
// into it. On failure it rolls back to the previous parameters, then
// windowed, and after the third failure in a row shows the ERROR popup
// "Unable to initialize the renderer..." and answers false with the ready
// flag clear.
bool ZKI_InitRendImp();
// Releases every renderer-side resource and shuts the back end down.
void ZKI_ShutdownRendImp();
