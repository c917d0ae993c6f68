// Showing one frame of a bitmap sequence.
#include <cstring>

#include "tools/manifester/runtime.h"

namespace manifester {

// The bitmap takes the frame's size, pixels, alpha flag and trailing block;
// it does not record which frame it shows.
void ZK_Graphics_SetBitmapFrame(zk_bitmap_t* bitmap, int frame) {
    if (!bitmap || !bitmap->frames || bitmap->frame_count <= 0) return;
    if (frame < 0) frame = 0;
    const zk_bitmap_t& shown = bitmap->frames[frame % bitmap->frame_count];
    bitmap->width = shown.width;
    bitmap->height = shown.height;
    bitmap->pixels = shown.pixels;
    bitmap->flags = (bitmap->flags & ~1u) | (shown.flags & 1u);
    memcpy(bitmap->frame_block, shown.frame_block, sizeof bitmap->frame_block);
}

}  // namespace manifester
