// Core helpers about resolutions, parameters and bitmaps.

#include "engine/runtime/resolution_and_bitmaps.h"


void ZKI_RevertProgramParameters() {
    if (!zk_prog) return;
    zk_state.parms.width = zk_parms.width;
    zk_state.parms.height = zk_parms.height;
    zk_state.parms.windowed = zk_parms.windowed;
}

static uint32_t TextureBytes(const zk_bitmap_t* bitmap, bool use_image_size) {
    int32_t w = use_image_size ? bitmap->texture_width : bitmap->hw_data.texture_width;
    int32_t h = use_image_size ? bitmap->texture_height : bitmap->hw_data.texture_height;
    return static_cast<uint32_t>(w) * static_cast<uint32_t>(h) * 4u;
}

uint32_t ZKI_GetBitmapGPUMemoryUsageEstimate(zk_bitmap_t* bitmap, bool use_image_size) {
    if (!bitmap) return 0;
    if (bitmap->frame_count > 0) {
        if (bitmap->atlas) return TextureBytes(bitmap->atlas, use_image_size);
        return static_cast<uint32_t>(bitmap->frame_count) * TextureBytes(bitmap, use_image_size);
    }
    return TextureBytes(bitmap, use_image_size);
}

zk_bitmap_t* ZK_CreateBitmapFromSubBitmap(zk_bitmap_t* out, zk_bitmap_t* source, float x0, float y0, float x1,
                                          float y1) {
    if (!out || !source) return out;
    *out = *source;
    out->duplicate_of = source;
    out->atlas = source;
    out->width = static_cast<int32_t>(x1 - x0);
    out->height = static_cast<int32_t>(y1 - y0);
    const float* uv = source->hw_data.uv;
    float w = static_cast<float>(source->width);
    float h = static_cast<float>(source->height);
    float du = uv[2] - uv[0];
    float dv = uv[3] - uv[1];
    out->hw_data.uv[0] = uv[0] + (x0 / w) * du;
    out->hw_data.uv[1] = uv[1] + (y0 / h) * dv;
    out->hw_data.uv[2] = uv[0] + (x1 / w) * du;
    out->hw_data.uv[3] = uv[1] + (y1 / h) * dv;
    return out;
}
