// The drawing library's parts of the interface table.
#pragma once

#include "engine/runtime/zekar.h"

// The slots of the graphics sub-table for buffers, the graphics state, the
// transform, scissor and render-target stacks and drawing (the colour
// setters excepted: they follow the renderer, ZKI_SelectColorSetters).
void ZKM_FillDrawingInterface(zk_graphics_api_t* api);
// Installs the colour setters that match a vertex colour format in slots 88
// and 89: 0 the R,G,B,A pair, any other value the B,G,R,A pair.
void ZKI_SelectColorSetters(zk_graphics_api_t* api, int vertex_color_format);
// The extension table: ZK_DrawQuad.
void ZKM_FillExtensionInterface(zk_extension_api_t* api);
