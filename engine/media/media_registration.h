// The media layer's entry into the engine's seam (engine/runtime/
// registration.h).
#pragma once

#include "engine/runtime/zekar.h"

// Puts the media layer's functions into zk_media and zk_frame_backend.
// fill_table is start-up's filler of the interface table, which loading a
// renderer runs again. Start-up calls this before it fills the table.
void ZKM_RegisterMedia(void (*fill_table)(zekar_t* table));

// The graphics sub-table: every slot the media layer provides, the rest
// neutral.
void ZKM_FillGraphicsInterface(zk_graphics_api_t* api);
