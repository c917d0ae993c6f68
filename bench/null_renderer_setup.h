// What the media benchmarks draw through: the engine set up silent, the
// null renderer started and the batch renderer ready for a pass.
#pragma once

#include "engine/app/startup.h"
#include "engine/drawing/batch_renderer.h"
#include "engine/screen/renderer_interface.h"
#include "engine/runtime/log.h"
#include "engine/runtime/state.h"

inline void StartEngineWithNullRenderer() {
    zk_run_silent = 1;
    ZKI_StateSetup(nullptr);
    ZKI_LoadRendImp();
    zk_state.renderer_initialized = 1;
    zk_batch_renderer.Initialize();
    zk_batch_renderer.BeginPass();
}
