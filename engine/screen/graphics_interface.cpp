// The graphics sub-table, every slot from interface.def: the media
// libraries below define the functions, each under its slot's name.

#include "engine/screen/graphics_interface.h"

#include "engine/drawing/drawing_interface.h"
#include "engine/render/renderer_implementation.h"
#include "engine/runtime/interface_functions.h"

void ZKM_FillGraphicsInterface(zk_graphics_api_t* api) {
#define ZK_GRAPHICS_SLOT(ret, name, params, attributes) api->name = name;
#define ZK_GRAPHICS_COLOR_SLOT(ret, name, params, attributes)
#include "engine/runtime/interface.def"
    // The renderer decides the byte order of packed vertex colours; without
    // one the colours are B,G,R,A.
    ZKI_SelectColorSetters(api, ri ? ri->GetVertexColorFormat() : 1);
}
