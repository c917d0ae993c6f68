// The graphics API's current state: colour and alpha, blend, texture filters,
// address modes and inputs, depth default and range, depth clears, render
// states, screen clears and renderer queries.
//
// The graphics-table slots (ZK_Graphics_SetAlpha, ...) are declared in
// engine/runtime/interface_functions.h. A change that alters what the
// pending batch would look like flushes the batch renderer first; state the
// batch renderer keeps (blend, filters, address modes) is applied by its
// next draw. Renderer (main) thread only.
#pragma once

#include <cstdint>

#include "engine/base/types.h"
#include "engine/runtime/zekar.h"

// Render-state ids with a renderer operation, and the size of the tables.
enum {
    ZK_RENDER_STATE_DEPTH_TEST = 10,      // bool
    ZK_RENDER_STATE_DEPTH_FUNCTION = 11,  // int
    ZK_RENDER_STATE_DEPTH_WRITE = 12,     // bool
    ZK_RENDER_STATE_COLOR_WRITE = 13,     // bool
    ZK_RENDER_STATE_CULL_MODE = 14,       // int
    ZK_NUM_RENDER_STATES = 32,
};

// A colour component as a byte: the low 8 bits of trunc(255 x component),
// not clamped (1.5 gives 126, -0.5 gives 129), for every finite value. NaN
// and -inf give 0, +inf gives 255.
uint8_t ZKI_ColorComponentToByte(float component);
// The packed colour of four components in the renderer's vertex colour
// format (zk_state.renderer_vertex_color_format: 0 R,G,B,A, else B,G,R,A).
uint32_t ZKI_PackVertexColor(const color_t& color);

// The two variants of graphics slots 88 and 89; the table takes the pair
// of the renderer's vertex colour format.
void ZK_Graphics_SetColor_RGBA(const float& r, const float& g, const float& b);
void ZK_Graphics_SetColor_BGRA(const float& r, const float& g, const float& b);
void ZK_Graphics_SetColorWithAlpha_RGBA(const float& r, const float& g, const float& b, const float& a);
void ZK_Graphics_SetColorWithAlpha_BGRA(const float& r, const float& g, const float& b, const float& a);

// True for a texture stage 0-7; otherwise warns, naming the function, and
// answers false.
bool ZKI_CheckTextureStage(int stage, const char* function);
// Every render state counts as not set.
void ZKI_InvalidateRenderStates();
