// The drawing library's choice of colour setters for the graphics
// sub-table, and the extension table.

#include "engine/drawing/drawing_interface.h"

#include "engine/drawing/graphics_state.h"
#include "engine/runtime/interface_functions.h"

void ZKI_SelectColorSetters(zk_graphics_api_t* api, int vertex_color_format) {
    bool rgba = vertex_color_format == 0;
    api->ZK_Graphics_SetColor = rgba ? ZK_Graphics_SetColor_RGBA : ZK_Graphics_SetColor_BGRA;
    api->ZK_Graphics_SetColorWithAlpha = rgba ? ZK_Graphics_SetColorWithAlpha_RGBA : ZK_Graphics_SetColorWithAlpha_BGRA;
}

void ZKM_FillExtensionInterface(zk_extension_api_t* api) {
#define ZK_EXTENSION_SLOT(ret, name, params, attributes) api->name = name;
#include "engine/runtime/interface.def"
}
