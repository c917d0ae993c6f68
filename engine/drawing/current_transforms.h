// The current transforms, read from the world, view and projection stacks
// (32 entries each, in zk_state): the top of each stack, the cached
// world-view matrix, the view position, the default projection and the
// size of the target it maps.
//
// Positions are column vectors: a matrix's translation is m3, m7, m11, and
// Combine(out, a, b) is a x b. Reading draws nothing, so these sit beneath
// the batch renderer, whose constant update reads them before each draw;
// the stacks' pushes and pops (transform_stacks.cpp) draw the pending batch
// first. The graphics-table slots (Peek...Transform, GetViewPosition) are
// declared in engine/runtime/interface_functions.h. Renderer thread only.
#pragma once

#include "engine/base/ntransform.h"
#include "engine/runtime/zekar.h"

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

// The size drawn into with this first colour target: its texture size, or
// the device's screen size for null.
void ZKI_GetTargetSize(const zk_bitmap_t* first, int* width, int* height);
// The same for the current first colour target.
void ZKI_GetCurrentTargetSize(int* width, int* height);
