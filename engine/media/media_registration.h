// The media layer's parts of the interface table, and the hooks between its
// own parts (media_hooks.h).
#pragma once

#include "engine/runtime/zekar.h"

// Fills the hooks between the media layer's parts. Start-up calls this
// before it fills the table.
void ZKM_RegisterMedia();

// The graphics sub-table: every slot the media layer provides, the rest
// neutral.
void ZKM_FillGraphicsInterface(zk_graphics_api_t* api);
// The extension table: ZK_DrawQuad.
void ZKM_FillExtensionInterface(zk_extension_api_t* api);
