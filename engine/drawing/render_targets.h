// The current render targets and the render-target stack.
//
// zk_state.render_targets holds what is drawn into (all null: the screen).
// The stack holds one entry per push; the frame pushes the screen as its
// first entry before the program draws and pops it with its transforms at
// the end of each pass, so a stack of one entry counts as empty for the
// program. Each push also pushes the default projection of the new target
// and an identity world transform, and each pop pops both again. The
// graphics-table slots (PushRenderTarget(s), PopRenderTarget, ...) are
// declared in engine/runtime/interface_functions.h. Renderer thread only.
#pragma once

#include "engine/runtime/zekar.h"

// Makes targets current (null: the screen). False, changing nothing, for a
// colour or depth target that is not a render-target bitmap or a cube-map
// side outside 0-5 (with an error popup); false also without an initialised
// renderer or when the renderer refuses them, though they are stored. The
// overlay zoom is set aside while drawing into a bitmap.
bool ZKI_SetRenderTargets(zk_graphics_api_t::RenderTargets* targets);

// The frame's own pop of its screen entry at the end of a pass, with the
// projection and world transforms that its push added.
void ZKI_PopScreenRenderTarget();
