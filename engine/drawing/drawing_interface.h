// The drawing library's parts of the interface table.
#pragma once

#include "engine/runtime/zekar.h"

// Installs the colour setters that match a vertex colour format in slots 88
// and 89 of the graphics sub-table: 0 the R,G,B,A pair, any other value the
// B,G,R,A pair. The screen library fills the table's other slots.
void ZKI_SelectColorSetters(zk_graphics_api_t* api, int vertex_color_format);
// The extension table: ZK_DrawQuad.
void ZKM_FillExtensionInterface(zk_extension_api_t* api);
