// The drawing library's parts of the interface table.
#pragma once

#include "engine/runtime/zekar.h"

// The slots of the graphics sub-table for buffers, the graphics state, the
// transform, scissor and render-target stacks and drawing (the colour
// setters excepted: they follow the renderer, engine/app/interface.h).
void ZKM_FillDrawingInterface(zk_graphics_api_t* api);
// The extension table: ZK_DrawQuad.
void ZKM_FillExtensionInterface(zk_extension_api_t* api);
