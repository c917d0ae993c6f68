// The media layer's graphics sub-table.
#pragma once

#include "engine/runtime/zekar.h"

// Every slot, each with the function of its name from the media libraries
// (drawing, bitmaps, fonts, text, shaders); the colour setters are those of
// the current renderer's vertex colour format (B,G,R,A without a renderer).
void ZKM_FillGraphicsInterface(zk_graphics_api_t* api);
