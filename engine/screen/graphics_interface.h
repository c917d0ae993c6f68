// The media layer's graphics sub-table.
#pragma once

#include "engine/runtime/zekar.h"

// Every slot the media libraries provide (drawing, bitmaps, fonts, text,
// shaders), the rest neutral; the colour setters are the table's to choose
// (engine/app/interface.h).
void ZKM_FillGraphicsInterface(zk_graphics_api_t* api);
