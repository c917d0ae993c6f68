// The media layer's parts of the interface table.
#pragma once

#include "engine/runtime/zekar.h"

// The graphics sub-table: every slot the media layer provides, the rest
// neutral.
void ZKM_FillGraphicsInterface(zk_graphics_api_t* api);
// The extension table: ZK_DrawQuad.
void ZKM_FillExtensionInterface(zk_extension_api_t* api);
