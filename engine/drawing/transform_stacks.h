// The world, view and projection transform stacks (32 entries each, in
// zk_state), the cached world-view matrix and view position, and the
// default projection.
//
// Positions are column vectors: a matrix's translation is m3, m7, m11, and
// Combine(out, a, b) is a x b. A world transform pushed onto a non-empty
// stack is combined with the one below it; view and projection transforms
// are pushed as they are. The graphics-table slots (Push/Pop/Peek...) are
// declared in engine/runtime/interface_functions.h. Renderer thread only.
#pragma once

#include "engine/base/ntransform.h"

// The top of each stack, or the identity (world, view) or the default
// projection (projection, a function-static matrix recomputed on each such
// call) while it is empty.
const nTransform* ZKI_GetWorldTransform();
const nTransform* ZKI_GetViewTransform();
const nTransform* ZKI_GetProjectionTransform();

// Brings zk_state.world_view_transform up to date when it is not valid:
// Combine(view, world), or whichever of the two is there.
void ZKI_UpdateWorldViewTransform();
// Combine(projection, world-view), computed on every call.
nTransform ZKI_GetWorldViewProjectionTransform();

// The projection that maps pixels of the current target (its first colour
// target's texture, or the device screen) to the clip range, top-left at
// (-1, 1), with the renderer's pixel offset; a point at the middle depth
// keeps its pixel scale.
nTransform ZKI_ComputeDefaultProjection();
