// The graphics sub-table, filled by the media libraries that provide its
// slots.

#include "engine/screen/graphics_interface.h"

#include "engine/bitmaps/bitmap_api.h"
#include "engine/drawing/drawing_interface.h"
#include "engine/fonts/fonts.h"
#include "engine/render/renderer_implementation.h"
#include "engine/runtime/interface_filling.h"
#include "engine/shaders/run_time_shaders.h"
#include "engine/text/text.h"

void ZKM_FillGraphicsInterface(zk_graphics_api_t* api) {
    ZKI_FillNeutralInterface(api);
    ZKM_FillDrawingInterface(api);
    ZKM_FillBitmapInterface(api);
    ZKM_FillFontInterface(api);
    ZKM_FillTextInterface(api);
    ZKM_FillShaderInterface(api);
    // The renderer decides the byte order of packed vertex colours; without
    // one the colours are B,G,R,A.
    ZKI_SelectColorSetters(api, ri ? ri->GetVertexColorFormat() : 1);
}
